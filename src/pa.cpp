#include "pa.h"
#include "read_wave.h"

#include <alsa/asoundlib.h>
#include <dlfcn.h>
#include <portaudio.h>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>

WaveClip wave[10];
int global_wave_list[WAVE_QUEUE_SIZE];
std::atomic<int> global_wave_cnt{0};

std::vector<int> *played_ids = nullptr;
std::atomic<long> buffers_filled{0};
std::atomic<long> clips_completed{0};

// queue_mutex guards the appends, the emptying of the queue,
// running_tasks and audio_state. The player sleeps on queue_changed while
// the queue is empty; stop_sound_threads sleeps on tasks_ended.
//
// They are made once and never destroyed: exit() may run while the player
// still sleeps on queue_changed (a lost X display ends the program from
// inside the event loop), and destroying a condition variable that has a
// waiter blocks for ever.
static std::mutex &queue_mutex = *new std::mutex;
static std::condition_variable &queue_changed = *new std::condition_variable;
static std::condition_variable &tasks_ended = *new std::condition_variable;
static int running_tasks = 0;
// Set by stop_sound_threads: every sound thread ends as soon as it can.
static std::atomic<bool> stop_forced{false};

// Where PortAudio is: not started, being started (by the player, off the
// window's path), up, or failed to start.
enum AudioState { AUDIO_DOWN, AUDIO_STARTING, AUDIO_UP, AUDIO_FAILED };
static AudioState audio_state = AUDIO_DOWN;

// ---- Audio library start and end ----

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

// Waits until the audio library is up or has failed to start. Returns
// false when the stop is forced first.
static bool wait_for_audio() {
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

// ---- One clip through one stream ----

int clip_frames(float duration, float sample_rate) {
  float frames = duration * sample_rate;
  return (int)frames;
}

int bytes_per_sample(int bits_per_sample) {
  if (bits_per_sample == 8) return 1;
  if (bits_per_sample == 32) return 4;
  return 2;
}

static PaSampleFormat sample_format(int bits_per_sample) {
  if (bits_per_sample == 8) return paInt8;
  if (bits_per_sample == 32) return paInt32;
  return paInt16;
}

int fill_output_buffer(PlaybackState *state, void *output, unsigned long frames) {
  size_t frame_bytes = (size_t)state->channels * bytes_per_sample(state->bits_per_sample);
  unsigned char *out = (unsigned char *)output;
  const unsigned char *from = state->data + (size_t)state->position * frame_bytes;
  unsigned long remaining = (unsigned long)(state->total_frames - state->position);

  if (remaining >= frames) {
    memcpy(out, from, frames * frame_bytes);
    state->position += (int)frames;
    return paContinue;
  }
  // The last frames of the clip, then silence. ALSA drops what is still
  // queued when the stream completes, so the clip is followed by enough
  // zero frames to cover the output latency before the stream ends.
  memcpy(out, from, remaining * frame_bytes);
  memset(out + remaining * frame_bytes, 0, (frames - remaining) * frame_bytes);
  state->position += (int)remaining;
  long owed = (long)state->silence_frames - (long)(frames - remaining);
  if (owed > 0) {
    state->silence_frames = (int)owed;
    return paContinue;
  }
  state->silence_frames = 0;
  clips_completed.fetch_add(1, std::memory_order_relaxed);
  return paComplete;
}

// One clip on its way through a stream: the callback's state, and the end
// of the stream as PortAudio reports it.
struct PlayingClip {
  PlaybackState state;
  std::mutex mutex;
  std::condition_variable ended_changed;
  bool ended = false;
  // Set by the player before it cuts the clip short; nobody waits for the
  // end then.
  std::atomic<bool> aborted{false};
};

// Runs on PortAudio's real-time thread. Rules here: no allocation, no
// locks, no I/O, no calls into the game; only copy bytes out of the clip and
// bump lock-free counters.
static int playCallback(const void *, void *output, unsigned long frames,
                        const PaStreamCallbackTimeInfo *, PaStreamCallbackFlags, void *user) {
  buffers_filled.fetch_add(1, std::memory_order_relaxed);
  return fill_output_buffer(&((PlayingClip *)user)->state, output, frames);
}

// PortAudio's word that the stream has played out, from its own thread, once
// the real-time callbacks are over. It wakes the player at once instead of
// at its next look at the stream.
static void stream_finished(void *user) {
  PlayingClip *clip = (PlayingClip *)user;
  // On Pa_AbortStream, PortAudio's ALSA host cancels its thread and calls
  // this from the cancellation's clean-up, while the player waits in
  // Pa_AbortStream to join that thread. Locking the mutex there is sound,
  // but ThreadSanitizer does not see a lock taken while a cancelled thread
  // unwinds out of a blocking call and reports a race on `ended`. Nobody
  // waits for the end of an aborted clip, so leave it alone.
  if (clip->aborted.load()) return;
  std::lock_guard<std::mutex> lock(clip->mutex);
  clip->ended = true;
  clip->ended_changed.notify_one();
}

static int report_error(PaError err) {
  fprintf(stderr, "An error occured while using the portaudio stream\n");
  fprintf(stderr, "Error number: %d\n", err);
  fprintf(stderr, "Error message: %s\n", Pa_GetErrorText(err));
  fflush(stderr);
  return 1;
}

// Zero frames that cover what the device still holds when the clip ends.
static int latency_frames(PaStream *stream, float sample_rate) {
  const PaStreamInfo *info = Pa_GetStreamInfo(stream);
  if (!info) return 0;
  return (int)std::ceil(info->outputLatency * sample_rate);
}

// Waits until the stream has played out, looking at it at least every
// 10 ms; a forced stop cuts it short. Returns the last answer of
// Pa_IsStreamActive.
static PaError wait_while_active(PaStream *stream, PlayingClip &clip) {
  PaError active;
  while ((active = Pa_IsStreamActive(stream)) == 1) {
    if (stop_forced.load()) {
      clip.aborted.store(true);
      Pa_AbortStream(stream);
      return 0;
    }
    std::unique_lock<std::mutex> lock(clip.mutex);
    if (clip.ended) {
      // Finished but not yet marked inactive: a moment more.
      lock.unlock();
      Pa_Sleep(1);
    } else {
      clip.ended_changed.wait_for(lock, std::chrono::milliseconds(10),
                                  [&clip] { return clip.ended; });
    }
  }
  return active;
}

int play_it(unsigned char *data, float duration, float sample_rate, int channels,
            int bits_per_sample) {
  PlayingClip clip;
  PlaybackState &state = clip.state;
  state.position = 0;
  state.total_frames = clip_frames(duration, sample_rate);
  state.data = data;
  state.channels = channels;
  state.bits_per_sample = bits_per_sample;
  state.silence_frames = 0;
  if (!data) return 0;

  PaDeviceIndex device = Pa_GetDefaultOutputDevice();
  if (device == paNoDevice) return 0;
  const PaDeviceInfo *info = Pa_GetDeviceInfo(device);
  if (!info) return 0;

  PaStreamParameters output;
  output.device = device;
  output.channelCount = channels;
  output.sampleFormat = sample_format(bits_per_sample);
  output.suggestedLatency = info->defaultLowOutputLatency;
  output.hostApiSpecificStreamInfo = nullptr;

  PaStream *stream;
  PaError err =
      Pa_OpenStream(&stream, nullptr, &output, sample_rate, 512, paClipOff, playCallback, &clip);
  if (err != paNoError) return report_error(err);
  state.silence_frames = latency_frames(stream, sample_rate);
  Pa_SetStreamFinishedCallback(stream, stream_finished);
  err = Pa_StartStream(stream);
  if (err != paNoError) {
    Pa_CloseStream(stream);
    return report_error(err);
  }
  PaError active = wait_while_active(stream, clip);
  Pa_CloseStream(stream);
  if (active < 0) return report_error(active);
  return 0;
}

// ---- The clip table ----

void read_wav(const char *path, int id) {
  if (id < 0 || id > 9) return;
  int bits, channels, frames;
  float rate, duration;
  unsigned char *data = read_wave(path, &bits, &channels, &rate, &frames, &duration);
  if (!data) return;
  wave[id].duration = duration;
  wave[id].sample_rate = rate;
  wave[id].data = data;
  wave[id].channels = channels;
  wave[id].bits_per_sample = bits;
}

void play_wav(int id) {
  if (id < 0 || id > 9) return;
  const WaveClip &clip = wave[id];
  play_it(clip.data, clip.duration, clip.sample_rate, clip.channels, clip.bits_per_sample);
}

void play_wav_file(const char *path) {
  int bits, channels, frames;
  float rate, duration;
  unsigned char *data = read_wave(path, &bits, &channels, &rate, &frames, &duration);
  if (!data) return;
  play_it(data, duration, rate, channels, bits);
  free(data);
}

// ---- The request queue and the player thread ----

int set_play_wav(int id) {
  int n;
  {
    std::lock_guard<std::mutex> lock(queue_mutex);
    n = global_wave_cnt.load(std::memory_order_relaxed);
    if (n >= WAVE_QUEUE_SIZE) return n;
    global_wave_list[n] = id;
    global_wave_cnt.store(++n, std::memory_order_release);
  }
  queue_changed.notify_one();
  return n;
}

static void note_played(int id) {
  if (played_ids) played_ids->push_back(id);
}

// Sleeps until something is queued. Returns false when the stop is forced.
static bool wait_for_request() {
  std::unique_lock<std::mutex> lock(queue_mutex);
  queue_changed.wait(lock, [] {
    return global_wave_cnt.load(std::memory_order_relaxed) > 0 || stop_forced.load();
  });
  if (!stop_forced.load()) return true;
  global_wave_cnt.store(0, std::memory_order_relaxed);
  return false;
}

static void end_batch() {
  std::lock_guard<std::mutex> lock(queue_mutex);
  global_wave_cnt.store(0, std::memory_order_relaxed);
  note_played(PLAYED_BATCH_END);
}

// True when slot next holds an id. Otherwise empties the queue, under the
// lock so that an id appended meanwhile is either seen here or left for the
// next batch.
static bool more_queued(int next) {
  if (next < global_wave_cnt.load(std::memory_order_acquire)) return true;
  std::lock_guard<std::mutex> lock(queue_mutex);
  if (next < global_wave_cnt.load(std::memory_order_relaxed)) return true;
  global_wave_cnt.store(0, std::memory_order_relaxed);
  note_played(PLAYED_BATCH_END);
  return false;
}

// Plays the queue from slot 0, with whatever is appended meanwhile, then
// empties it. Returns true when the player is to end.
static bool play_batch() {
  for (int slot = 0;; slot++) {
    if (stop_forced.load()) {
      end_batch();
      return true;
    }
    int id = global_wave_list[slot];
    note_played(id);
    if (id == SOUND_STOP) {
      end_batch();
      return true;
    }
    play_wav(id);
    if (!more_queued(slot + 1)) return false;
  }
}

int x_play_all_wave(int *) {
  // PortAudio starts off the GUI thread: it takes a while on a desktop,
  // and it can block for good (a stale lock of libjack's). Requests made
  // meanwhile wait in the queue. A library already up is left as it is.
  CreateTask(start_audio, nullptr);
  if (!wait_for_audio()) return 0;
  while (wait_for_request())
    if (play_batch()) break;
  return 0;
}

void create_play_all_wav(int n) {
  static int nn;
  nn = n;
  CreateTask(x_play_all_wave, &nn);
}

int x_play_wave(int *id) {
  play_wav(*id);
  return 0;
}

void create_play_wav(int id) {
  static int nn;
  nn = id;
  CreateTask(x_play_wave, &nn);
}

// ---- Threads ----

struct Task {
  int (*run)(int *);
  int *arg;
};

static void *run_task(void *p) {
  Task task = *(Task *)p;
  delete (Task *)p;
  task.run(task.arg);
  std::lock_guard<std::mutex> lock(queue_mutex);
  running_tasks--;
  // Notified under the lock: once stop_sound_threads sees the count drop,
  // this thread no longer touches anything of ours.
  tasks_ended.notify_all();
  return nullptr;
}

int CreateTask(int (*task)(int *), int *arg) {
  {
    // Counted before the thread exists, so a stop right after this call
    // already waits for it.
    std::lock_guard<std::mutex> lock(queue_mutex);
    running_tasks++;
  }
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
  pthread_t thread;
  Task *start = new Task{task, arg};
  int err = pthread_create(&thread, &attr, run_task, start);
  pthread_attr_destroy(&attr);
  if (err == 0) return (int)thread;

  delete start;
  {
    std::lock_guard<std::mutex> lock(queue_mutex);
    running_tasks--;
    tasks_ended.notify_all();
  }
  fprintf(stderr, "Error: Cannot create a new thread.\n");
  fflush(stderr);
  return 0;
}

bool stop_sound_threads(int timeout_ms) {
  std::unique_lock<std::mutex> lock(queue_mutex);
  stop_forced.store(true);
  queue_changed.notify_all();
  auto ended = [] { return running_tasks == 0; };
  if (timeout_ms < 0)
    tasks_ended.wait(lock, ended);
  else if (!tasks_ended.wait_for(lock, std::chrono::milliseconds(timeout_ms), ended))
    return false; // still forced: a thread that comes back plays nothing more
  stop_forced.store(false);
  global_wave_cnt.store(0, std::memory_order_relaxed);
  return true;
}

void wait_for_sound_threads() {
  std::unique_lock<std::mutex> lock(queue_mutex);
  tasks_ended.wait(lock, [] { return running_tasks == 0; });
}
