// One clip played through one PortAudio stream.
#pragma once

#include <atomic>

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

// Output buffers filled by the stream callback, and clips it completed, for
// tests and the benchmark.
extern std::atomic<long> buffers_filled;
extern std::atomic<long> clips_completed;
