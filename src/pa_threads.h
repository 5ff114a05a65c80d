// The sound threads: each started detached and counted, and all stopped at once.
#pragma once

#include <atomic>
#include <pthread.h>

// Runs task(arg) on a new detached thread, counted until it returns so that
// stop_sound_threads can wait for it. Returns the thread's identifier, or 0
// when it could not be created (then a message goes to stderr).
int CreateTask(int (*task)(int *), int *arg);

// Makes every thread started by CreateTask end (the playing clip is cut
// short, queued ids are dropped, even with a full queue) and waits until
// they all have ended, or at most timeout_ms when that is not negative.
// Returns true, with the queue empty, when they all have ended.
bool stop_sound_threads(int timeout_ms = -1);
// Waits until every thread started by CreateTask has ended by itself.
void wait_for_sound_threads();

// For the sound module's own files.
//
// Set by stop_sound_threads: every sound thread ends as soon as it can.
extern std::atomic<bool> stop_forced;

// Runs task(arg) on a new detached thread, counted until it returns so that
// stop_sound_threads can wait for it, and stores its identifier in thread
// unless that is null. False, without a message, when none can be made.
bool start_sound_thread(int (*task)(int *), int *arg, pthread_t *thread = nullptr);
