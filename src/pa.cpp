// The sound module: the request queue, the player thread that empties it,
// and the sound threads' start and end.
#include "pa.h"
#include "pa_threads.h"

#include <pthread.h>

#include <chrono>
#include <cstdio>

int global_wave_list[WAVE_QUEUE_SIZE];
std::atomic<int> global_wave_cnt{0};

std::vector<int> *played_ids = nullptr;

// Made once and never destroyed: exit() may run while the player still
// sleeps on queue_changed (a lost X display ends the program from inside
// the event loop), and destroying a condition variable that has a waiter
// blocks for ever.
std::mutex &queue_mutex = *new std::mutex;
std::condition_variable &queue_changed = *new std::condition_variable;
std::atomic<bool> stop_forced{false};
std::atomic<bool> sound_switch{true};
// Threads started by CreateTask that have not ended yet, guarded by
// queue_mutex; stop_sound_threads sleeps on tasks_ended until it is 0.
static std::condition_variable &tasks_ended = *new std::condition_variable;
static int running_tasks = 0;

void set_sound_on(bool on) {
  sound_switch.store(on);
}

bool sound_on() {
  return sound_switch.load();
}

int set_play_wav(int id) {
  int n;
  {
    std::lock_guard<std::mutex> lock(queue_mutex);
    n = global_wave_cnt.load(std::memory_order_relaxed);
    if (n >= WAVE_QUEUE_SIZE || (id != SOUND_STOP && !sound_switch.load())) return n;
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
    if (sound_switch.load()) play_wav(id);
    if (!more_queued(slot + 1)) return false;
  }
}

int x_play_all_wave(int *) {
  // PortAudio starts off the GUI thread: it takes a while on a desktop,
  // and it can block for good (a stale lock of libjack's). Requests made
  // meanwhile wait in the queue. A library already up is left as it is.
  start_audio_library();
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

bool start_sound_thread(int (*task)(int *), int *arg, pthread_t *thread) {
  {
    // Counted before the thread exists, so a stop right after this call
    // already waits for it.
    std::lock_guard<std::mutex> lock(queue_mutex);
    running_tasks++;
  }
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
  pthread_t id;
  Task *start = new Task{task, arg};
  int err = pthread_create(&id, &attr, run_task, start);
  pthread_attr_destroy(&attr);
  if (err == 0) {
    if (thread) *thread = id;
    return true;
  }

  delete start;
  std::lock_guard<std::mutex> lock(queue_mutex);
  running_tasks--;
  tasks_ended.notify_all();
  return false;
}

int CreateTask(int (*task)(int *), int *arg) {
  pthread_t thread;
  if (start_sound_thread(task, arg, &thread)) return (int)thread;
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
