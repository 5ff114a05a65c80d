// What the files of the sound module share.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <pthread.h>

// queue_mutex guards the appends to the request queue and its emptying, the
// count of running sound threads and the audio library's state. The player
// sleeps on queue_changed while the queue is empty or the library is not up
// yet.
extern std::mutex &queue_mutex;
extern std::condition_variable &queue_changed;
// Set by stop_sound_threads: every sound thread ends as soon as it can.
extern std::atomic<bool> stop_forced;
// False while the sound is off (set_sound_on).
extern std::atomic<bool> sound_switch;

// Runs task(arg) on a new detached thread, counted until it returns so that
// stop_sound_threads can wait for it, and stores its identifier in thread
// unless that is null. False, without a message, when none can be made.
bool start_sound_thread(int (*task)(int *), int *arg, pthread_t *thread = nullptr);

// Has the audio library started off the player's path, on a thread of its
// own, or by the caller when no thread can be made for it.
void start_audio_library();
// Waits until the audio library is up or has failed to start. Returns
// false when the stop is forced first.
bool wait_for_audio();
