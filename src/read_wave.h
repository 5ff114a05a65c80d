// The WAV reader: PCM files into memory.
#pragma once

#include <cstddef>

// Reads a RIFF WAVE file, finding its format and data chunks wherever they
// are. Returns a malloc'd buffer of frame_count whole frames in file order,
// owned by the caller, or null when the file is missing, not a regular file,
// not a RIFF WAVE file with a format chunk followed by a data chunk, or not
// a PCM file this game can play (format code other than 1, no channels, a
// sample width other than 8, 16 or 32 bits, a zero sample rate, 2^23 frames
// or more). When the data ends before its declared size, the frames it held
// come first and the rest of the buffer is silence.
// The out-values are only meaningful when the result is not null.
unsigned char *read_wave(const char *path, int *bits_per_sample, int *channels, float *sample_rate,
                         int *frame_count, float *duration);

// read_wave with the buffer from zeroed(bytes), which returns that many zero
// bytes or null; read_wave takes them from calloc. A header may declare 4 GB
// of data in a file of a few bytes, and the buffer keeps that length: the
// fuzz target hands in pages that cost nothing until they are touched.
unsigned char *read_wave_with(void *(*zeroed)(size_t bytes), const char *path, int *bits_per_sample,
                              int *channels, float *sample_rate, int *frame_count, float *duration);

// Longest clip the reader accepts, in frames. Below this, duration times
// sample rate in single precision comes back as the frame count or one less,
// so the player never reads past the buffer.
const unsigned MAX_CLIP_FRAMES = 1u << 23;
