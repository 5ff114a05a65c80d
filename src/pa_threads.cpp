// The sound threads: their start, their count, and the forced stop of them all.
#include "pa_threads.h"
#include "language.h"
#include "pa_queue.h"

#include <chrono>
#include <cstdio>

std::atomic<bool> stop_forced{false};
// Threads started by CreateTask that have not ended yet, guarded by
// queue_mutex; stop_sound_threads sleeps on tasks_ended until it is 0.
// Never destroyed, like queue_changed, for the same reason.
static std::condition_variable &tasks_ended = *new std::condition_variable;
static int running_tasks = 0;

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
  fputs(_("Error: Cannot create a new thread.\n"), stderr);
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
