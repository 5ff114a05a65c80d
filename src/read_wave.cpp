#include "read_wave.h"

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

unsigned char *read_wave(const char *path, int *bits_per_sample, int *channels, float *sample_rate,
                         int *frame_count, float *duration) {
  FILE *file = fopen(path, "rb");
  if (!file) return nullptr;

  unsigned char header[44];
  if (fread(header, 1, sizeof header, file) != sizeof header) {
    fclose(file);
    return nullptr;
  }
  unsigned format = read_u16(header + 20);
  unsigned chans = read_u16(header + 22);
  unsigned rate = read_u32(header + 24);
  unsigned bits = read_u16(header + 34);
  unsigned data_size = read_u32(header + 40);

  // Anything the player cannot hand to the audio library as whole frames of
  // 1, 2 or 4-byte samples is refused here, before any division by the
  // frame size.
  if (format != 1 || chans == 0 || !playable_width(bits) || rate == 0) {
    fclose(file);
    return nullptr;
  }
  unsigned frame_size = chans * bits / 8;
  unsigned frames = (data_size * 8) / (chans * bits);
  if (frames >= MAX_CLIP_FRAMES) {
    fclose(file);
    return nullptr;
  }

  // calloc: a file that ends early leaves silence after its last frame.
  // One byte at least, so that a clip of 0 frames still has data.
  size_t bytes = (size_t)frames * frame_size;
  unsigned char *data = (unsigned char *)calloc(bytes ? bytes : 1, 1);
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
