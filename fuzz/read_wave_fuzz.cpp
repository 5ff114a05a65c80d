// Any bytes as a WAV file: the reader either refuses it or returns a buffer
// of frame_count whole frames, the file's frames first, with values the
// player can use. The address sanitizer checks that the whole buffer is
// there: the player reads frame_count frames of it.
#include <cstdint>
#include <sanitizer/asan_interface.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "read_wave.h"

static std::string scratch_file() {
  static std::string path;
  if (!path.empty()) return path;
  // tmpfs where there is one: the file is rewritten for every input.
  char shm[] = "/dev/shm/varnel-fuzz-XXXXXX";
  char tmp[] = "/tmp/varnel-fuzz-XXXXXX";
  char *dir = mkdtemp(shm);
  if (!dir) dir = mkdtemp(tmp);
  if (!dir) abort();
  path = std::string(dir) + "/clip.wav";
  return path;
}

// Keeps the reads of every byte.
static volatile unsigned sink;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string path = scratch_file();
  FILE *f = fopen(path.c_str(), "wb");
  if (!f) abort();
  fwrite(data, 1, size, f);
  fclose(f);

  int bits = -1, channels = -1, frames = -1;
  float rate = -1, duration = -1;
  unsigned char *clip = read_wave(path.c_str(), &bits, &channels, &rate, &frames, &duration);
  if (!clip) return 0;
  if (size < 44) abort(); // no header, no clip
  if (bits != 8 && bits != 16 && bits != 32) abort();
  if (channels < 1 || rate <= 0 || frames < 0 || (unsigned)frames >= MAX_CLIP_FRAMES) abort();
  if (duration < 0) abort();
  size_t bytes = (size_t)frames * channels * (bits / 8);
  // The whole buffer is there (a header may promise gigabytes: checked
  // without touching them).
  if (__asan_region_is_poisoned(clip, bytes ? bytes : 1)) abort();
  // The frames the file held come first, in file order, then silence.
  size_t held = size - 44 < bytes ? size - 44 : bytes;
  held -= held % ((size_t)channels * (bits / 8));
  size_t checked = bytes < held + 65536 ? bytes : held + 65536;
  unsigned sum = 0;
  for (size_t i = 0; i < checked; i++) {
    if (i < held && clip[i] != data[44 + i]) abort();
    if (i >= held && clip[i] != 0) abort();
    sum += clip[i];
  }
  free(clip);
  sink = sum;
  return 0;
}
