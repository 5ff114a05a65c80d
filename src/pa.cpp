#include "pa.h"

#include <mutex>

WaveClip wave[10];
int global_wave_list[WAVE_QUEUE_SIZE];
std::atomic<int> global_wave_cnt{0};

static std::mutex queue_mutex;

int set_play_wav(int id) {
  std::lock_guard<std::mutex> lock(queue_mutex);
  int n = global_wave_cnt.load(std::memory_order_relaxed);
  if (n >= WAVE_QUEUE_SIZE) return n;
  global_wave_list[n] = id;
  global_wave_cnt.store(n + 1, std::memory_order_release);
  return n + 1;
}

// The audio output and the player thread are not built yet: no sound plays.
void initialize_audio() {}
void terminate_audio() {}
void read_wav(const char *, int) {}
void create_play_all_wav(int) {}
