// Any bytes as a WAV file: the reader either refuses it or returns a buffer
// of frame_count whole frames, the data chunk's frames first, with values the
// player can use. The whole buffer must be there: the player reads
// frame_count frames of it.
#include <cstdint>
#include <sanitizer/asan_interface.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/mman.h>
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
  static std::string made = dir;
  atexit([] { std::filesystem::remove_all(made); }); // a run leaves no folder behind
  return path;
}

static unsigned le32(const uint8_t *p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | ((unsigned)p[3] << 24);
}

// Where the sample data of a RIFF WAVE file begins: behind the header of
// the first "data" chunk, when a "fmt " chunk of 16 bytes or more comes
// before it. 0 when there is none.
static size_t data_offset(const uint8_t *data, size_t size) {
  if (size < 12 || memcmp(data, "RIFF", 4) != 0 || memcmp(data + 8, "WAVE", 4) != 0) return 0;
  bool format = false;
  for (uint64_t at = 12; at + 8 <= size;) {
    unsigned chunk = le32(data + at + 4);
    if (memcmp(data + at, "data", 4) == 0) return format ? at + 8 : 0;
    if (memcmp(data + at, "fmt ", 4) == 0 && !format) {
      if (chunk < 16 || at + 8 + 16 > size) return 0;
      format = true;
    }
    at += 8 + (uint64_t)chunk + (chunk & 1);
  }
  return 0;
}

// The buffer the reader was given for the current input.
static unsigned char *given;
static size_t given_bytes;
static void *mapping;
static size_t mapping_bytes, slack, page;

// Zero-filled buffers for the reader. Up to a megabyte from the heap, where
// the address sanitizer guards both ends. Larger ones (a header may declare
// 4 GB in a file of a few bytes, and the reader keeps that length) from
// fresh pages, which cost nothing until touched: on the heap the sanitizer
// would write a shadow byte for every 8 bytes at each allocation and free,
// near a second for 4 GB. The buffer ends against a page that may not be
// touched, and that page and the bytes before the buffer in its first page
// are poisoned, so an access outside it still ends the run.
static void *zeroed(size_t bytes) {
  given_bytes = bytes;
  if (bytes <= (1u << 20)) return given = (unsigned char *)calloc(bytes, 1);
  page = (size_t)sysconf(_SC_PAGESIZE);
  size_t pages = (bytes + page - 1) / page * page;
  void *m = mmap(nullptr, pages + page, PROT_READ | PROT_WRITE,
                 MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (m == MAP_FAILED) return given = nullptr;
  if (mprotect((unsigned char *)m + pages, page, PROT_NONE) != 0) abort();
  mapping = m;
  mapping_bytes = pages + page;
  slack = pages - bytes;
  ASAN_POISON_MEMORY_REGION(m, slack);
  ASAN_POISON_MEMORY_REGION((unsigned char *)m + pages, page);
  return given = (unsigned char *)m + slack;
}

static void release(unsigned char *clip) {
  if (!mapping) {
    free(clip);
    return;
  }
  // Whatever is mapped here next starts unpoisoned.
  ASAN_UNPOISON_MEMORY_REGION(mapping, slack);
  ASAN_UNPOISON_MEMORY_REGION((unsigned char *)mapping + mapping_bytes - page, page);
  munmap(mapping, mapping_bytes);
  mapping = nullptr;
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
  given = nullptr;
  unsigned char *clip =
      read_wave_with(zeroed, path.c_str(), &bits, &channels, &rate, &frames, &duration);
  if (!clip) {
    if (given) abort(); // a buffer dropped
    return 0;
  }
  size_t start = data_offset(data, size);
  if (size < 44 || start == 0) abort(); // no chunks, no clip
  if (bits != 8 && bits != 16 && bits != 32) abort();
  if (channels < 1 || rate <= 0 || frames < 0 || (unsigned)frames >= MAX_CLIP_FRAMES) abort();
  if (duration < 0) abort();
  // The frame count is the declared data size's, in 64 bits.
  if ((uint64_t)le32(data + start - 4) * 8 / (channels * bits) != (uint64_t)frames) abort();
  size_t bytes = (size_t)frames * channels * (bits / 8);
  // The whole buffer is there: the reader returns the one it was given, of
  // this size at least (checked without touching gigabytes).
  if (clip != given || given_bytes < (bytes ? bytes : 1)) abort();
  if (!mapping && __asan_region_is_poisoned(clip, bytes ? bytes : 1)) abort();
  // The frames the file held come first, in file order, then silence.
  size_t held = size - start < bytes ? size - start : bytes;
  held -= held % ((size_t)channels * (bits / 8));
  size_t checked = bytes < held + 65536 ? bytes : held + 65536;
  unsigned sum = 0;
  for (size_t i = 0; i < checked; i++) {
    if (i < held && clip[i] != data[start + i]) abort();
    if (i >= held && clip[i] != 0) abort();
    sum += clip[i];
  }
  release(clip);
  sink = sum;
  return 0;
}
