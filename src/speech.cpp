// The speech thread: the connection to speech-dispatcher, opened, used and
// reopened away from the GUI thread.
#include "speech.h"
#include "language.h"

#include <chrono>
#include <cctype>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <dlfcn.h>
#include <mutex>
#include <pthread.h>

// The few calls of libspeechd's stable interface (SONAME libspeechd.so.2)
// that the game makes, declared here: the library is opened with dlopen
// when speech is first turned on, so that the game neither needs it to
// start nor loads it (and the GLib it brings) while speech is off.
struct SPDConnection;
typedef SPDConnection *(*SpdOpen2)(const char *client, const char *connection, const char *user,
                                   int mode, const void *address, int autospawn, char **error);
typedef int (*SpdSay)(SPDConnection *connection, int priority, const char *text);
typedef void (*SpdClose)(SPDConnection *connection);
typedef int (*SpdSetLanguage)(SPDConnection *connection, const char *language);
static const int SPD_MODE_SINGLE = 0;
static const char *const LIBRARY_NAME = "libspeechd.so.2";

// How often a connection that failed is tried again, at most.
static const auto RETRY_PAUSE = std::chrono::seconds(3);
// A call into the service that takes longer than this is told as a hang.
static const auto HANG_TIME = std::chrono::seconds(2);
// Messages that wait beyond this many are dropped, the oldest first.
static const size_t MESSAGES_KEPT = 8;

typedef std::chrono::steady_clock Clock;

struct SpeechJob {
  std::string text;
  SpeechPriority priority;
};

// Talking to the service can take from a tenth of a millisecond to tens of
// seconds (a server whose own audio output is missing keeps its client
// waiting that long), and it can die at any time: the GUI thread only
// hands texts over, under a lock held for a copy, and the speech thread
// does everything else. Where the service falls behind, where the focus is
// now matters more than where it was: the newest TEXT replaces the one
// still waiting.
struct SpeechHandover {
  std::mutex lock;
  std::condition_variable changed;
  std::deque<SpeechJob> jobs;
  bool started = false;
  bool close = false; // speech turned off: drop the connection
  bool stop = false;  // the program ends
  bool ended = false;
  bool in_call = false; // the thread is inside the service's library
  Clock::time_point call_start;
  bool told_hang = false;
  SpeechLibrary library = SpeechLibrary::NOT_TRIED;
  long said = 0;
};
// Never destroyed: the thread may still sleep on it, or hang in the
// service, as the program exits.
static SpeechHandover &handover = *new SpeechHandover;

// The speech thread's own.
static SpdOpen2 spd_open2;
static SpdSay spd_say;
static SpdClose spd_close;
static SpdSetLanguage spd_set_language;
static SPDConnection *connection;
static Clock::time_point last_open;
static bool ever_opened;
static bool told_failure;

static void tell(const char *what, const char *why = nullptr) {
  fprintf(stderr, _("varnel: speech: %s%s%s\n"), what, why ? ": " : "", why ? why : "");
  fflush(stderr);
}

// Loads the library, or tries again after it was found missing (the
// player may have installed it since).
static bool load_library() {
  if (spd_open2 && spd_say && spd_close) return true;
  void *library = dlopen(LIBRARY_NAME, RTLD_NOW | RTLD_LOCAL);
  if (library) {
    spd_open2 = (SpdOpen2)dlsym(library, "spd_open2");
    spd_say = (SpdSay)dlsym(library, "spd_say");
    spd_close = (SpdClose)dlsym(library, "spd_close");
    spd_set_language = (SpdSetLanguage)dlsym(library, "spd_set_language");
  }
  bool loaded = spd_open2 && spd_say && spd_close;
  const char *why = loaded ? nullptr : dlerror();
  std::lock_guard<std::mutex> hold(handover.lock);
  if (!loaded && handover.library != SpeechLibrary::MISSING)
    tell(_("the speech service's library is missing"), why);
  handover.library = loaded ? SpeechLibrary::LOADED : SpeechLibrary::MISSING;
  return loaded;
}

// Marks the thread as inside the library, so that a hang shows.
static void calling(bool in) {
  std::lock_guard<std::mutex> hold(handover.lock);
  handover.in_call = in;
  handover.call_start = Clock::now();
}

// A connection, opened now unless one was tried in the last few seconds.
// The library finds the server as every client does (SPEECHD_ADDRESS, or
// the user's own, started when none runs).
static bool connect() {
  if (connection) return true;
  if (ever_opened && Clock::now() - last_open < RETRY_PAUSE) return false;
  ever_opened = true;
  last_open = Clock::now();
  char *error = nullptr;
  calling(true);
  connection = spd_open2("varnel", "main", nullptr, SPD_MODE_SINGLE, nullptr, 1, &error);
  calling(false);
  // The library's message ends in a newline of its own.
  for (size_t n = error ? strlen(error) : 0; n > 0 && isspace((unsigned char)error[n - 1]); n--)
    error[n - 1] = '\0';
  if (!connection && !told_failure) tell(_("cannot reach the speech service"), error);
  // A voice for the language the game speaks in; without a catalogue, the
  // player's own choice of voice.
  if (connection && spd_set_language && *catalogue_language()) {
    calling(true);
    spd_set_language(connection, catalogue_language());
    calling(false);
  }
  told_failure = told_failure || !connection;
  free(error);
  return connection != nullptr;
}

static void disconnect() {
  if (!connection) return;
  calling(true);
  spd_close(connection);
  calling(false);
  connection = nullptr;
}

// Says one text. A connection that fails is closed, and opened again at
// once unless that was tried a moment ago: the text is then lost.
static void speak(const SpeechJob &job) {
  for (int attempt = 0; attempt < 2; attempt++) {
    if (!connect()) return;
    calling(true);
    int id = spd_say(connection, (int)job.priority, job.text.c_str());
    calling(false);
    if (id >= 0) {
      told_failure = false;
      std::lock_guard<std::mutex> hold(handover.lock);
      handover.said++;
      return;
    }
    if (!told_failure) tell(_("the speech service stopped answering; trying again"));
    told_failure = true;
    disconnect();
  }
}

static void *speech_thread(void *) {
  // A server that dies leaves a socket whose writes would raise SIGPIPE:
  // here it only fails the write.
  sigset_t pipe_signal;
  sigemptyset(&pipe_signal);
  sigaddset(&pipe_signal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe_signal, nullptr);
  std::unique_lock<std::mutex> hold(handover.lock);
  for (;;) {
    handover.changed.wait(hold,
                          [] { return handover.stop || handover.close || !handover.jobs.empty(); });
    bool close = handover.close || handover.stop;
    handover.close = false;
    if (close) handover.jobs.clear();
    if (handover.stop) break;
    SpeechJob job = close ? SpeechJob() : handover.jobs.front();
    if (!close) handover.jobs.pop_front();
    hold.unlock();
    if (close)
      disconnect();
    else if (load_library())
      speak(job);
    hold.lock();
  }
  hold.unlock();
  disconnect();
  hold.lock();
  handover.ended = true;
  handover.changed.notify_all();
  return nullptr;
}

// Under the lock: one line when the thread has been inside the service for
// too long.
static void tell_hang() {
  if (!handover.in_call || handover.told_hang || Clock::now() - handover.call_start < HANG_TIME)
    return;
  handover.told_hang = true;
  tell(_("the speech service does not answer; the game goes on without it"));
}

void say(const std::string &text, SpeechPriority priority) {
  std::unique_lock<std::mutex> hold(handover.lock);
  // The library fails an empty text as it would a dead service.
  if (handover.stop || text.empty()) return;
  if (!handover.started) {
    pthread_t thread;
    if (pthread_create(&thread, nullptr, speech_thread, nullptr) != 0) return;
    pthread_detach(thread);
    handover.started = true;
  }
  tell_hang();
  std::deque<SpeechJob> &jobs = handover.jobs;
  if (priority == SpeechPriority::TEXT)
    for (auto job = jobs.begin(); job != jobs.end(); ++job)
      if (job->priority == SpeechPriority::TEXT) {
        jobs.erase(job);
        break;
      }
  jobs.push_back({text, priority});
  if (jobs.size() > MESSAGES_KEPT) jobs.pop_front();
  // Woken after the lock is let go, the thread does not wait for it.
  hold.unlock();
  handover.changed.notify_all();
}

SpeechLibrary speech_library() {
  std::lock_guard<std::mutex> hold(handover.lock);
  return handover.library;
}

void silence_speech() {
  std::lock_guard<std::mutex> hold(handover.lock);
  // Turned on again, speech looks for the library anew.
  if (handover.library == SpeechLibrary::MISSING) handover.library = SpeechLibrary::NOT_TRIED;
  handover.jobs.clear();
  handover.close = true;
  handover.changed.notify_all();
}

bool stop_speech(double seconds) {
  std::unique_lock<std::mutex> hold(handover.lock);
  handover.stop = true;
  handover.changed.notify_all();
  if (!handover.started) return true;
  auto waited = std::chrono::duration<double>(seconds);
  if (handover.changed.wait_for(hold, waited, [] { return handover.ended; })) return true;
  tell_hang();
  return false;
}

long speech_texts_said() {
  std::lock_guard<std::mutex> hold(handover.lock);
  return handover.said;
}
