// The sound module: the request queue that the game fills, the player thread
// that empties it, the audio output through PortAudio and the clip table.
#pragma once

#include <atomic>

// One clip of the clip table: interleaved frames as they stood in the file.
struct WaveClip {
  float duration;    // seconds
  float sample_rate; // frames per second
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

// Queues a sound id; drops it when 128 ids are queued. Returns the number of
// queued ids after the call.
int set_play_wav(int id);

void initialize_audio();
void terminate_audio();
void read_wav(const char *path, int id);
void create_play_all_wav(int n);
