// Makes the game's nine sound files: 44.1 kHz mono 16-bit PCM WAV files
// with the canonical 44-byte header, written into the directory given as
// the only argument.
//
// Laptop and phone speakers play little below 300 Hz, so every clip keeps
// its energy above that; every clip fades out and ends in silence, so none
// stops with a click; and all nine have the same loudness (RMS), so that no
// event of the game drowns the others.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

const int RATE = 44100;
const double PI = 3.14159265358979323846;

typedef std::vector<double> Samples;

static Samples silence(double seconds) {
  return Samples((size_t)(seconds * RATE), 0.0);
}

static double seconds_at(size_t i) {
  return (double)i / RATE;
}

// Adds a sine whose frequency glides exponentially from f0 to f1 and whose
// amplitude decays with time constant tau, starting at second start.
static void add_glide(Samples &s, double start, double length, double f0, double f1,
                      double amplitude, double tau) {
  double phase = 0;
  size_t first = (size_t)(start * RATE);
  size_t n = (size_t)(length * RATE);
  for (size_t i = 0; i < n && first + i < s.size(); i++) {
    double t = seconds_at(i);
    double f = f0 * std::pow(f1 / f0, t / length);
    phase += 2 * PI * f / RATE;
    s[first + i] += amplitude * std::exp(-t / tau) * std::sin(phase);
  }
}

// Adds a note built from harmonics 1..count of f with weights 1/k^rolloff,
// a soft attack and a gentle decay; vibrato in Hz for the sad tune.
static void add_note(Samples &s, double start, double length, double f, int count, double rolloff,
                     double vibrato) {
  size_t first = (size_t)(start * RATE);
  size_t n = (size_t)(length * RATE);
  for (size_t i = 0; i < n && first + i < s.size(); i++) {
    double t = seconds_at(i);
    double envelope = std::min(1.0, t / 0.012) * std::min(1.0, (length - t) / 0.03);
    envelope *= std::exp(-t / (length * 1.5));
    double bend = vibrato * std::sin(2 * PI * 5.5 * t) * std::min(1.0, t / 0.2);
    double v = 0;
    for (int k = 1; k <= count; k++)
      v += std::sin(2 * PI * k * (f * t - bend / (2 * PI * 5.5) * std::cos(2 * PI * 5.5 * t))) /
           std::pow(k, rolloff);
    s[first + i] += 0.4 * envelope * v;
  }
}

// Adds decaying partials at the given frequencies: struck metal.
static void add_partials(Samples &s, const std::vector<double> &freqs,
                         const std::vector<double> &taus, double amplitude) {
  for (size_t p = 0; p < freqs.size(); p++)
    for (size_t i = 0; i < s.size(); i++) {
      double t = seconds_at(i);
      s[i] += amplitude / (p + 1) * std::exp(-t / taus[p]) * std::sin(2 * PI * freqs[p] * t);
    }
}

// The loudness every clip gets, as RMS over the whole clip, and the highest
// peak allowed, in full scale.
const double CLIP_RMS = 0.141; // -17 dBFS
const double CLIP_PEAK = 0.89; // -1 dBFS

// Fades in over 3 ms and out over the last quarter of the clip (at least
// 20 ms), down to the 10 ms of silence that end it, then scales the clip to
// the common loudness.
static void finish(Samples &s) {
  size_t fade_in = RATE * 3 / 1000;
  size_t quiet = RATE / 100;
  size_t fade_out = std::max((size_t)(RATE / 50), s.size() / 4);
  for (size_t i = 0; i < s.size(); i++) {
    double gain = 1;
    if (i < fade_in) gain *= (double)i / fade_in;
    size_t left = s.size() - i;
    if (left <= quiet)
      gain = 0;
    else if (left < quiet + fade_out)
      gain *= 0.5 - 0.5 * std::cos(PI * (left - quiet) / fade_out);
    s[i] *= gain;
  }
  double sum = 0, peak = 0;
  for (double v : s) {
    sum += v * v;
    peak = std::max(peak, std::fabs(v));
  }
  if (peak == 0) return;
  double gain = std::min(CLIP_RMS / std::sqrt(sum / s.size()), CLIP_PEAK / peak);
  for (double &v : s)
    v *= gain;
}

static Samples pop() {
  Samples s = silence(0.07);
  add_glide(s, 0, 0.07, 1200, 250, 1, 0.015);
  return s;
}

static Samples blop() {
  Samples s = silence(0.14);
  add_glide(s, 0, 0.14, 380, 950, 1, 0.05);
  return s;
}

static Samples fanfare() {
  Samples s = silence(0.72);
  const double notes[4] = {523.25, 659.25, 783.99, 1046.5};
  const double starts[4] = {0, 0.11, 0.22, 0.33};
  const double lengths[4] = {0.11, 0.11, 0.11, 0.39};
  for (int i = 0; i < 4; i++)
    add_note(s, starts[i], lengths[i], notes[i], 6, 1.0, 0);
  return s;
}

static Samples sad() {
  Samples s = silence(1.4);
  const double notes[4] = {392.0, 369.99, 349.23, 329.63};
  const double starts[4] = {0, 0.26, 0.52, 0.78};
  const double lengths[4] = {0.26, 0.26, 0.26, 0.62};
  for (int i = 0; i < 4; i++)
    add_note(s, starts[i], lengths[i], notes[i], 5, 2.0, i == 3 ? 4.0 : 0);
  return s;
}

// A knock on wood: a body that drops in pitch, an overtone and a short
// click of noise with its low part taken out.
static Samples thump() {
  Samples s = silence(0.15);
  add_glide(s, 0, 0.15, 560, 340, 1, 0.035);
  add_glide(s, 0, 0.15, 1460, 1100, 0.35, 0.015);
  unsigned noise = 12345;
  double low = 0;
  for (size_t i = 0; i < (size_t)(0.01 * RATE); i++) {
    noise = noise * 1103515245 + 12345;
    double white = ((noise >> 16) & 0x7fff) / 16384.0 - 1;
    low += 0.05 * (white - low);
    s[i] += 0.3 * (white - low) * (1 - seconds_at(i) / 0.01);
  }
  return s;
}

static Samples pan() {
  Samples s = silence(0.35);
  add_partials(s, {420, 1130, 1980, 2870}, {0.09, 0.06, 0.04, 0.03}, 1);
  return s;
}

static Samples ding() {
  Samples s = silence(0.6);
  add_partials(s, {1318.5, 2637}, {0.18, 0.06}, 1);
  return s;
}

// A bell's partials from the prime up; its hum an octave below would be
// lost on small speakers.
static Samples bell() {
  Samples s = silence(1.2);
  const double base = 523.25;
  add_partials(s, {base, base * 1.19, base * 1.56, base * 2.0, base * 2.51},
               {0.45, 0.35, 0.25, 0.18, 0.12}, 1);
  return s;
}

static Samples honk() {
  Samples s = silence(0.35);
  for (size_t i = 0; i < s.size(); i++) {
    double t = seconds_at(i);
    double envelope = std::min(1.0, t / 0.015) * std::min(1.0, (0.35 - t) / 0.03);
    double waver = 1 + 0.01 * std::sin(2 * PI * 7 * t);
    double v = 0;
    for (int k = 1; k <= 5; k++)
      v += (std::sin(2 * PI * k * 370 * waver * t) + std::sin(2 * PI * k * 466.16 * waver * t)) / k;
    s[i] = envelope * v;
  }
  return s;
}

static void put_u16(FILE *f, unsigned v) {
  fputc(v & 0xff, f);
  fputc((v >> 8) & 0xff, f);
}

static void put_u32(FILE *f, unsigned v) {
  put_u16(f, v & 0xffff);
  put_u16(f, v >> 16);
}

static bool write_wav(const std::string &path, const Samples &s) {
  FILE *f = fopen(path.c_str(), "wb");
  if (!f) return false;
  unsigned data_size = (unsigned)s.size() * 2;
  fputs("RIFF", f);
  put_u32(f, 36 + data_size);
  fputs("WAVEfmt ", f);
  put_u32(f, 16);
  put_u16(f, 1); // PCM
  put_u16(f, 1); // mono
  put_u32(f, RATE);
  put_u32(f, RATE * 2);
  put_u16(f, 2);
  put_u16(f, 16);
  fputs("data", f);
  put_u32(f, data_size);
  for (double v : s)
    put_u16(f, (unsigned)(int)std::lround(v * 32767) & 0xffff);
  return fclose(f) == 0;
}

int main(int argc, char **argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: make_sounds DIRECTORY\n");
    return 2;
  }
  struct {
    const char *name;
    Samples (*make)();
  } sounds[9] = {{"pop.wav", pop},   {"blop.wav", blop},   {"fanfare.wav", fanfare},
                 {"sad.wav", sad},   {"thump.wav", thump}, {"pan.wav", pan},
                 {"ding.wav", ding}, {"bell.wav", bell},   {"honk.wav", honk}};
  for (auto &sound : sounds) {
    Samples s = sound.make();
    finish(s);
    std::string path = std::string(argv[1]) + "/" + sound.name;
    if (!write_wav(path, s)) {
      fprintf(stderr, "make_sounds: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
