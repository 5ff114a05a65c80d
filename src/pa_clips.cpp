// The clip table: loading WAV files into its slots and playing a slot or a file.
#include "pa_clips.h"
#include "pa_stream.h"
#include "read_wave.h"

#include <cstdlib>

WaveClip wave[10];

void read_wav(const char *path, int id) {
  if (id < 0 || id > 9) return;
  int bits, channels, frames;
  float rate, duration;
  unsigned char *data = read_wave(path, &bits, &channels, &rate, &frames, &duration);
  if (!data) return;
  wave[id].duration = duration;
  wave[id].sample_rate = rate;
  wave[id].data = data;
  wave[id].channels = channels;
  wave[id].bits_per_sample = bits;
}

void play_wav(int id) {
  if (id < 0 || id > 9) return;
  const WaveClip &clip = wave[id];
  play_it(clip.data, clip.duration, clip.sample_rate, clip.channels, clip.bits_per_sample);
}

void play_wav_file(const char *path) {
  int bits, channels, frames;
  float rate, duration;
  unsigned char *data = read_wave(path, &bits, &channels, &rate, &frames, &duration);
  if (!data) return;
  play_it(data, duration, rate, channels, bits);
  free(data);
}
