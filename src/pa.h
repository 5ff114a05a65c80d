// The sound module: the request queue that the game fills, the player thread
// that empties it, the audio output through PortAudio and the clip table.
#pragma once

#include <atomic>
#include <vector>

// One clip of the clip table: interleaved frames as they stood in the file.
struct WaveClip {
  float duration;      // seconds
  float sample_rate;   // frames per second
  unsigned char *data; // null in an empty slot
  int channels;
  int bits_per_sample;
};

// The clip table. Slots 0..8 are loaded by main before the player thread
// starts and only read afterwards; slot 9 stays empty.
extern WaveClip wave[10];

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

// Starts PortAudio with the messages of alsa-lib and libjack silenced, once;
// the player thread calls it when nobody did before. It may take long, or
// never return when the sound stack hangs, so the game leaves it to the
// player.
void initialize_audio();
// Stops every sound thread (see stop_sound_threads), waiting at most
// SHUTDOWN_WAIT_MS, then PortAudio. Returns 0 when done; 1 when a sound
// thread is still stuck inside PortAudio, which is then left running: the
// caller ends the process without tearing anything down.
int terminate_audio();
const int SHUTDOWN_WAIT_MS = 500;

// Loads a WAV file into slot id of the clip table; a bad file leaves it empty.
void read_wav(const char *path, int id);
// Plays slot id of the clip table to its end; an empty slot is silent.
void play_wav(int id);
// Reads a WAV file, plays it and frees it.
void play_wav_file(const char *path);

// Plays one clip and returns when it has ended: 0 when played or skipped,
// 1 after an audio error (reported on stderr).
int play_it(unsigned char *data, float duration, float sample_rate, int channels,
            int bits_per_sample);

// The stream callback's record of one clip being played. play_it fills it
// before the stream starts; afterwards only the callback touches it.
struct PlaybackState {
  int position;     // frames handed to the stream so far
  int total_frames; // frames to play
  const unsigned char *data;
  int channels;
  int bits_per_sample;
  int silence_frames; // zero frames still owed after the last frame
};

// Frames the player plays of a clip: duration times sample rate in single
// precision, truncated; the frame count or one less for clips the reader
// accepts.
int clip_frames(float duration, float sample_rate);

// Bytes of one sample as the stream takes it: 1 for 8 bits, 4 for 32, else 2.
int bytes_per_sample(int bits_per_sample);

// Fills one output buffer of the stream from the clip; what the stream
// callback does. Returns paContinue, or paComplete once the clip and its
// trailing silence have been handed over.
int fill_output_buffer(PlaybackState *state, void *output, unsigned long frames);

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

// What the player did, for tests and the benchmark; the game leaves these
// alone. When played_ids is set (before the player starts), the player
// appends every id it takes from the queue, and PLAYED_BATCH_END whenever it
// empties the queue. Read it only once the player has ended.
extern std::vector<int> *played_ids;
const int PLAYED_BATCH_END = -1;
// Output buffers filled by the stream callback, and clips it completed.
extern std::atomic<long> buffers_filled;
extern std::atomic<long> clips_completed;
