// Finds clips in a recording of what a sound server played, and says whether
// each was heard whole and in the order given, and how much silence lay
// between them. The recording is raw 16-bit little-endian mono at the clips'
// rate; the server may have resampled it, so clips are matched by
// correlation, not byte for byte.
//   sound_compare_recording RECORDING CLIP.wav...
#include "read_wave.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

typedef std::vector<double> Signal;

static bool read_clip(const char *path, Signal &clip, float &rate) {
  int bits, channels, frames;
  float duration;
  unsigned char *data = read_wave(path, &bits, &channels, &rate, &frames, &duration);
  if (!data) return false;
  bool usable = bits == 16 && channels == 1;
  for (int i = 0; usable && i < frames; i++)
    clip.push_back((short)(data[2 * i] | data[2 * i + 1] << 8));
  free(data);
  return usable;
}

// Normalised correlation of the clip's samples [from, to) with the
// recording at lag: 1 for the same shape at any loudness.
static double match(const Signal &rec, const Signal &clip, long lag, size_t from, size_t to,
                    int step = 1) {
  double xy = 0, xx = 0, yy = 0;
  for (size_t i = from; i < to; i += step) {
    long j = lag + (long)i;
    double y = j >= 0 && j < (long)rec.size() ? rec[j] : 0;
    xy += clip[i] * y;
    xx += clip[i] * clip[i];
    yy += y * y;
  }
  return xx > 0 && yy > 0 ? xy / std::sqrt(xx * yy) : 0;
}

// The lag in [first, last] where the clip fits the recording best.
static long best_lag(const Signal &rec, const Signal &clip, long first, long last) {
  long best = first;
  double top = -2;
  for (long lag = first; lag <= last; lag++) {
    double m = match(rec, clip, lag, 0, clip.size());
    if (m > top) top = m, best = lag;
  }
  return best;
}

// Where sound starts in the recording at or after from: the first sample
// louder than 1 % of the recording's peak.
static long onset(const Signal &rec, long from) {
  double peak = 0;
  for (double x : rec)
    peak = std::max(peak, std::fabs(x));
  for (long i = std::max(from, 0L); i < (long)rec.size(); i++)
    if (std::fabs(rec[i]) >= peak / 100) return i;
  return (long)rec.size();
}

// Loudness of the clip's samples [from, to), for telling a quiet tail from
// a part that carries sound.
static double rms(const Signal &s, size_t from, size_t to) {
  double sum = 0;
  for (size_t i = from; i < to; i++)
    sum += s[i] * s[i];
  return to > from ? std::sqrt(sum / (to - from)) : 0;
}

// Where the clip falls below 1 % of its peak for good.
static size_t audible_end(const Signal &s) {
  double peak = 0;
  for (double x : s)
    peak = std::max(peak, std::fabs(x));
  size_t end = s.size();
  while (end > 0 && std::fabs(s[end - 1]) < peak / 100)
    end--;
  return end;
}

int main(int argc, char **argv) {
  if (argc < 3) return 2;
  std::ifstream in(argv[1], std::ios::binary);
  std::vector<unsigned char> raw((std::istreambuf_iterator<char>(in)),
                                 std::istreambuf_iterator<char>());
  Signal rec;
  for (size_t i = 0; i + 1 < raw.size(); i += 2)
    rec.push_back((short)(raw[i] | raw[i + 1] << 8));

  bool ok = true;
  long from = 0, previous_end = -1;
  float rate = 0;
  for (int c = 2; c < argc; c++) {
    Signal clip;
    if (!read_clip(argv[c], clip, rate)) {
      printf("%s: not a 16-bit mono clip\n", argv[c]);
      return 2;
    }
    // The clip starts near the first sound after the previous clip.
    long start = onset(rec, from), near = (long)(0.05 * rate);
    long lag = best_lag(rec, clip, start - near, start + near);
    double whole = match(rec, clip, lag, 0, clip.size());
    printf("%s: at %.1f ms, match %.3f;", argv[c], 1000.0 * lag / rate, whole);
    ok = ok && whole >= 0.9;
    // Heard whole: every quarter that carries sound is there, and so are
    // the last 20 ms before the clip fades below 1 % of its peak (a stream
    // cut short loses its end).
    double loud = rms(clip, 0, clip.size());
    for (int q = 0; q < 4; q++) {
      size_t a = clip.size() * q / 4, b = clip.size() * (q + 1) / 4;
      if (rms(clip, a, b) < loud / 10) continue;
      double m = match(rec, clip, lag, a, b);
      printf(" quarter %d %.3f", q + 1, m);
      ok = ok && m >= 0.8;
    }
    size_t end = audible_end(clip), tail = (size_t)(0.02 * rate);
    double m = match(rec, clip, lag, end > tail ? end - tail : 0, end);
    printf(" end %.3f", m);
    ok = ok && m >= 0.8;
    if (previous_end >= 0)
      printf("; silence before it %.1f ms", 1000.0 * (lag - previous_end) / rate);
    printf("\n");
    previous_end = lag + (long)clip.size();
    from = lag + (long)audible_end(clip);
  }
  return ok ? 0 : 1;
}
