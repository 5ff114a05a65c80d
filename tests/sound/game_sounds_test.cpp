// What a player hears of the generator's nine files, measured on the built
// files as the game reads them: where their energy lies, how they end and
// how loud they are next to each other.
#include "read_wave.h"
#include "sound_test_util.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <vector>

namespace {

const char *const names[9] = {"pop.wav", "blop.wav", "fanfare.wav", "sad.wav", "thump.wav",
                              "pan.wav", "ding.wav", "bell.wav",    "honk.wav"};

struct Measured {
  double seconds = 0;
  double share_above_300 = 0; // of the clip's energy
  double tail_dbfs = 0;       // loudest sample of the last 10 ms
  double rms_dbfs = 0;        // over the whole clip
  double peak_dbfs = 0;
};

double dbfs(double amplitude) {
  return amplitude > 0 ? 20 * std::log10(amplitude / 32768.0) : -INFINITY;
}

// In-place radix-2 FFT; the size is a power of two.
void fft(std::vector<std::complex<double>> &a) {
  size_t n = a.size();
  for (size_t i = 1, j = 0; i < n; i++) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1)
      j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    std::complex<double> step = std::polar(1.0, -2 * M_PI / len);
    for (size_t i = 0; i < n; i += len) {
      std::complex<double> w = 1;
      for (size_t k = 0; k < len / 2; k++, w *= step) {
        std::complex<double> u = a[i + k], v = a[i + k + len / 2] * w;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
      }
    }
  }
}

// The share of the energy above a frequency, from the spectrum of the whole
// clip (zero padding keeps the energy as it is).
double share_above(const std::vector<double> &x, double rate, double hz) {
  size_t n = 1;
  while (n < x.size())
    n <<= 1;
  std::vector<std::complex<double>> a(n);
  std::copy(x.begin(), x.end(), a.begin());
  fft(a);
  double high = 0, all = 0;
  for (size_t k = 0; k < n; k++) {
    double e = std::norm(a[k]);
    all += e;
    if (std::min(k, n - k) * rate / n > hz) high += e;
  }
  return all > 0 ? high / all : 0;
}

// Reads a 16-bit mono file with the game's reader.
bool measure(const char *name, Measured &m) {
  std::string path = std::string(SOUND_DIR) + "/" + name;
  int bits, channels, frames;
  float rate, duration;
  unsigned char *data = read_wave(path.c_str(), &bits, &channels, &rate, &frames, &duration);
  if (!data) return false;
  bool usable = bits == 16 && channels == 1 && frames > (int)(rate / 100);
  struct stat st;
  // Canonical: the header is 44 bytes and nothing follows the samples.
  usable = usable && stat(path.c_str(), &st) == 0 && st.st_size == 44 + 2 * (off_t)frames;
  std::vector<double> x;
  for (int i = 0; usable && i < frames; i++)
    x.push_back((double)(int16_t)(data[2 * i] | data[2 * i + 1] << 8));
  free(data);
  if (!usable) return false;
  m.seconds = duration;
  m.share_above_300 = share_above(x, rate, 300);
  double tail = 0, sum = 0, peak = 0;
  for (size_t i = x.size() - (size_t)(rate / 100); i < x.size(); i++)
    tail = std::max(tail, std::fabs(x[i]));
  for (double v : x) {
    sum += v * v;
    peak = std::max(peak, std::fabs(v));
  }
  m.tail_dbfs = dbfs(tail);
  m.rms_dbfs = dbfs(std::sqrt(sum / x.size()));
  m.peak_dbfs = dbfs(peak);
  return true;
}

} // namespace

// Small speakers play little below 300 Hz; a clip cut off while it still
// sounds clicks; and a clip much louder than the others startles.
TEST(GameSounds, HeardOnSmallSpeakersEndInSilenceAndEquallyLoud) {
  double loudest = -INFINITY, quietest = 0;
  for (const char *name : names) {
    SCOPED_TRACE(name);
    Measured m;
    ASSERT_TRUE(measure(name, m)) << "not a canonical 16-bit mono PCM file";
    printf("%-12s %5.3f s  above 300 Hz %5.1f %%  last 10 ms %6.1f dBFS  RMS %5.1f dBFS  "
           "peak %5.1f dBFS\n",
           name, m.seconds, 100 * m.share_above_300, m.tail_dbfs, m.rms_dbfs, m.peak_dbfs);
    EXPECT_GT(m.share_above_300, 0.8);
    EXPECT_LT(m.tail_dbfs, -60);
    loudest = std::max(loudest, m.rms_dbfs);
    quietest = std::min(quietest, m.rms_dbfs);
  }
  EXPECT_LE(loudest - quietest, 2.0);
}
