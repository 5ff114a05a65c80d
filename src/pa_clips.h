// The clip table: the game's sounds, loaded from WAV files and played by id.
#pragma once

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

// Loads a WAV file into slot id of the clip table; a bad file leaves it empty.
void read_wav(const char *path, int id);
// Plays slot id of the clip table to its end; an empty slot is silent.
void play_wav(int id);
// Reads a WAV file, plays it and frees it.
void play_wav_file(const char *path);
