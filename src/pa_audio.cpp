// The audio library's start, off the window's path, and its end.
#include "pa_audio.h"
#include "pa_queue.h"
#include "pa_threads.h"

#include <alsa/asoundlib.h>
#include <dlfcn.h>
#include <portaudio.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

// Where PortAudio is: not started, being started (off the window's path),
// up, or failed to start. Guarded by queue_mutex.
enum AudioState { AUDIO_DOWN, AUDIO_STARTING, AUDIO_UP, AUDIO_FAILED };
static AudioState audio_state = AUDIO_DOWN;

static void silent_alsa(const char *, int, const char *, int, const char *, ...) {}
static void silent_jack(const char *) {}

// libjack is loaded by libportaudio and prints to stderr while PortAudio
// probes for a server; it has no environment switch, only these setters.
static void silence_jack(const char *setter_name) {
  typedef void (*Setter)(void (*)(const char *));
  Setter setter = (Setter)dlsym(RTLD_DEFAULT, setter_name);
  if (setter) setter(silent_jack);
}

void initialize_audio() {
  {
    std::lock_guard<std::mutex> lock(queue_mutex);
    if (audio_state != AUDIO_DOWN) return;
    audio_state = AUDIO_STARTING;
  }
  snd_lib_error_set_handler(silent_alsa);
  silence_jack("jack_set_error_function");
  silence_jack("jack_set_info_function");
  PaError err = Pa_Initialize();
  {
    std::lock_guard<std::mutex> lock(queue_mutex);
    audio_state = err == paNoError ? AUDIO_UP : AUDIO_FAILED;
  }
  queue_changed.notify_all();
}

// The audio library's start, on a thread of its own at the lowest priority:
// on a desktop it probes every ALSA plugin, tens of milliseconds of CPU
// that would otherwise compete with the window's first paint. The player
// keeps its normal priority, and so do the stream threads it starts.
static int start_audio(int *) {
  setpriority(PRIO_PROCESS, (id_t)syscall(SYS_gettid), 19);
  initialize_audio();
  return 0;
}

void start_audio_library() {
  // Where no thread can be made for it, the player starts the library
  // itself rather than wait for a start that never comes.
  if (!start_sound_thread(start_audio, nullptr)) initialize_audio();
}

bool wait_for_audio() {
  std::unique_lock<std::mutex> lock(queue_mutex);
  queue_changed.wait(lock, [] {
    return audio_state == AUDIO_UP || audio_state == AUDIO_FAILED || stop_forced.load();
  });
  return !stop_forced.load();
}

int terminate_audio() {
  // PortAudio must not go away under a thread that is still inside it. A
  // thread stuck there (a device that never takes its data, a sound server
  // that never answers) is left alone, and so is the library.
  if (!stop_sound_threads(SHUTDOWN_WAIT_MS)) return 1;
  std::lock_guard<std::mutex> lock(queue_mutex);
  if (audio_state == AUDIO_UP) Pa_Terminate();
  audio_state = AUDIO_DOWN;
  return 0;
}
