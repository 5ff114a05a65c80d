// The WAV reader: the samples of a PCM WAV file into memory.
#include "read_wave.h"
#include "regular_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// Header fields are little-endian whatever the host is.
static unsigned read_u16(const unsigned char *p) {
  return p[0] | (p[1] << 8);
}

static unsigned read_u32(const unsigned char *p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | ((unsigned)p[3] << 24);
}

static bool playable_width(unsigned bits) {
  return bits == 8 || bits == 16 || bits == 32;
}

// Where the parts of the file that the reader needs are.
struct WaveChunks {
  unsigned char format[16]; // the first 16 bytes of the "fmt " chunk's body
  uint64_t data_at;         // offset of the sample data
  unsigned data_size;       // as the "data" chunk declares it
};

// Walks the chunks after the RIFF header, each an id, a 32-bit size and a
// body padded to an even size, to the format chunk and then the data chunk.
// Other chunks (LIST, fact, ...) are skipped. False when the file is not a
// RIFF WAVE file, or either chunk is missing, cut short or too small.
static bool find_chunks(FILE *file, WaveChunks &chunks) {
  unsigned char head[12];
  if (fread(head, 1, 12, file) != 12 || memcmp(head, "RIFF", 4) != 0 ||
      memcmp(head + 8, "WAVE", 4) != 0)
    return false;
  bool have_format = false;
  for (uint64_t at = 12;;) {
    if (fseeko(file, (off_t)at, SEEK_SET) != 0 || fread(head, 1, 8, file) != 8) return false;
    unsigned size = read_u32(head + 4);
    if (memcmp(head, "data", 4) == 0) {
      chunks.data_at = at + 8;
      chunks.data_size = size;
      return have_format;
    }
    if (memcmp(head, "fmt ", 4) == 0 && !have_format) {
      if (size < 16 || fread(chunks.format, 1, 16, file) != 16) return false;
      have_format = true;
    }
    at += 8 + (uint64_t)size + (size & 1);
  }
}

unsigned char *read_wave_with(void *(*zeroed)(size_t bytes), const char *path, int *bits_per_sample,
                              int *channels, float *sample_rate, int *frame_count,
                              float *duration) {
  FILE *file = open_regular_file(path);
  if (!file) return nullptr;

  WaveChunks chunks;
  if (!find_chunks(file, chunks) || fseeko(file, (off_t)chunks.data_at, SEEK_SET) != 0) {
    fclose(file);
    return nullptr;
  }
  unsigned format = read_u16(chunks.format);
  unsigned chans = read_u16(chunks.format + 2);
  unsigned rate = read_u32(chunks.format + 4);
  unsigned bits = read_u16(chunks.format + 14);

  // Anything the player cannot hand to the audio library as whole frames of
  // 1, 2 or 4-byte samples is refused here, before any division by the
  // frame size.
  if (format != 1 || chans == 0 || !playable_width(bits) || rate == 0) {
    fclose(file);
    return nullptr;
  }
  unsigned frame_size = chans * bits / 8;
  // In 64 bits: a size whose eight-fold does not fit 32 bits is a long clip,
  // not the short one that the wrapped product would give.
  uint64_t frames = (uint64_t)chunks.data_size * 8 / (chans * bits);
  if (frames >= MAX_CLIP_FRAMES) {
    fclose(file);
    return nullptr;
  }

  // Zero-filled: a file that ends early leaves silence after its last
  // frame. One byte at least, so that a clip of 0 frames still has data.
  size_t bytes = (size_t)frames * frame_size;
  unsigned char *data = (unsigned char *)zeroed(bytes ? bytes : 1);
  if (!data) {
    fclose(file);
    return nullptr;
  }
  size_t got = fread(data, 1, bytes, file);
  size_t whole = got - got % frame_size;
  memset(data + whole, 0, got - whole); // half a frame is not a frame
  fclose(file);

  *bits_per_sample = (int)bits;
  *channels = (int)chans;
  *sample_rate = (float)rate;
  *frame_count = (int)frames;
  *duration = (float)frames / (float)rate;
  return data;
}

static void *calloc_bytes(size_t bytes) {
  return calloc(bytes, 1);
}

unsigned char *read_wave(const char *path, int *bits_per_sample, int *channels, float *sample_rate,
                         int *frame_count, float *duration) {
  return read_wave_with(calloc_bytes, path, bits_per_sample, channels, sample_rate, frame_count,
                        duration);
}
