// The player thread, and the thread that plays one clip outside the queue.
// The player empties the request queue clip by clip.
#include "pa.h"

std::vector<int> *played_ids = nullptr;

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
