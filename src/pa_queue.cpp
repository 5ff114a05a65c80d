// The sound request queue: its producer side, its lock and the on/off switch.
#include "pa_queue.h"

int global_wave_list[WAVE_QUEUE_SIZE];
std::atomic<int> global_wave_cnt{0};

// Made once and never destroyed: exit() may run while the player still
// sleeps on queue_changed (a lost X display ends the program from inside
// the event loop), and destroying a condition variable that has a waiter
// blocks for ever.
std::mutex &queue_mutex = *new std::mutex;
std::condition_variable &queue_changed = *new std::condition_variable;
std::atomic<bool> sound_switch{true};

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
