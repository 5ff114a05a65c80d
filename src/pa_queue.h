// The sound request queue that the game fills, and the player's on/off switch.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

// Sound ids, indexes into the clip table.
enum {
  SOUND_POP = 0,
  SOUND_BLOP = 1,
  SOUND_FANFARE = 2,
  SOUND_SAD = 3,
  SOUND_THUMP = 4,
  SOUND_PAN = 5,
  SOUND_DING = 6,
  SOUND_BELL = 7,
  SOUND_HONK = 8,
  SOUND_STOP = -100 // ends the player thread
};

// The request queue: written by the GUI thread (set_play_wav), emptied by
// the player thread. An id is stored in its slot before the larger count is
// published.
const int WAVE_QUEUE_SIZE = 128;
extern int global_wave_list[WAVE_QUEUE_SIZE];
extern std::atomic<int> global_wave_cnt;

// Queues a sound id; drops it when 128 ids are queued, or while the sound
// is off. Returns the number of queued ids after the call. Never waits for
// a clip.
int set_play_wav(int id);

// The player's switch (Game -> Sound), on at start. Off, nothing more is
// heard: set_play_wav drops every sound id, so nothing stale plays once it
// is on again, and the player cuts short the clip it plays and skips what
// is still queued. The stop id goes through all the same.
void set_sound_on(bool on);
bool sound_on();

// For the sound module's own files.
//
// queue_mutex guards the appends to the request queue and its emptying, the
// count of running sound threads and the audio library's state. The player
// sleeps on queue_changed while the queue is empty or the library is not up
// yet.
extern std::mutex &queue_mutex;
extern std::condition_variable &queue_changed;
// False while the sound is off (set_sound_on).
extern std::atomic<bool> sound_switch;
