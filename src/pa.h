// The sound module's header for the game: the player thread, and the files below it.
#pragma once

#include "pa_audio.h"
#include "pa_clips.h"
#include "pa_queue.h"
#include "pa_stream.h"
#include "pa_threads.h"

#include <vector>

// The player thread's body: has PortAudio started on a thread of its own
// (or starts it itself when no thread can be made) unless it is up already,
// waits for it, then plays the queue batch after batch until the stop id,
// or until stop_sound_threads. Returns 0.
int x_play_all_wave(int *unused);
// Starts the player thread.
void create_play_all_wav(int n);
// Plays clip id once on a thread of its own.
void create_play_wav(int id);
int x_play_wave(int *id);

// What the player did, for tests and the benchmark; the game leaves this
// alone. When played_ids is set (before the player starts), the player
// appends every id it takes from the queue, and PLAYED_BATCH_END whenever it
// empties the queue. Read it only once the player has ended.
extern std::vector<int> *played_ids;
const int PLAYED_BATCH_END = -1;
