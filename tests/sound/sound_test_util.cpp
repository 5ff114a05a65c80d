#include "sound_test_util.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

std::string make_temp_dir() {
  const char *base = getenv("TMPDIR");
  std::string templ = std::string(base ? base : "/tmp") + "/varnel-sound-XXXXXX";
  if (!mkdtemp(&templ[0])) abort();
  return templ;
}

void remove_tree(const std::string &path) {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

void write_file(const std::string &path, const Bytes &bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write((const char *)bytes.data(), bytes.size());
}

Bytes read_file(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool file_exists(const std::string &path) {
  return access(path.c_str(), F_OK) == 0;
}

static void put_le(Bytes &b, unsigned v, int width) {
  for (int i = 0; i < width; i++)
    b.push_back((v >> (8 * i)) & 0xff);
}

Bytes pcm_file(int channels, unsigned rate, int bits, const Bytes &data) {
  return wav_file(1, channels, rate, bits, (unsigned)data.size(), data);
}

Bytes wav_chunk(const char *id, const Bytes &body) {
  Bytes b(id, id + 4);
  put_le(b, (unsigned)body.size(), 4);
  b.insert(b.end(), body.begin(), body.end());
  if (body.size() % 2) b.push_back(0);
  return b;
}

Bytes format_body(int format, int channels, unsigned rate, int bits, size_t size) {
  Bytes b;
  put_le(b, format, 2);
  put_le(b, channels, 2);
  put_le(b, rate, 4);
  put_le(b, rate * channels * bits / 8, 4);
  put_le(b, channels * bits / 8, 2);
  put_le(b, bits, 2);
  b.resize(size, 0);
  return b;
}

Bytes wav_file(int format, int channels, unsigned rate, int bits, unsigned data_size,
               const Bytes &data) {
  Bytes b = {'R', 'I', 'F', 'F'};
  put_le(b, 36 + data_size, 4);
  b.insert(b.end(), {'W', 'A', 'V', 'E'});
  Bytes fmt = wav_chunk("fmt ", format_body(format, channels, rate, bits, 16));
  b.insert(b.end(), fmt.begin(), fmt.end());
  b.insert(b.end(), {'d', 'a', 't', 'a'});
  put_le(b, data_size, 4);
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

Bytes riff_file(const std::vector<Bytes> &chunks) {
  Bytes body = {'W', 'A', 'V', 'E'};
  for (const Bytes &c : chunks)
    body.insert(body.end(), c.begin(), c.end());
  Bytes b = {'R', 'I', 'F', 'F'};
  put_le(b, (unsigned)body.size(), 4);
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

Bytes pattern(size_t n, int seed) {
  Bytes b(n);
  unsigned x = 2654435761u * (unsigned)(seed + 1);
  for (size_t i = 0; i < n; i++) {
    x = x * 1103515245u + 12345u;
    b[i] = (unsigned char)(1 + (x >> 16) % 255);
  }
  return b;
}

long find_bytes(const Bytes &haystack, const Bytes &needle) {
  auto at = std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end());
  return at == haystack.end() ? -1 : (long)(at - haystack.begin());
}

StderrCapture::StderrCapture() {
  path = make_temp_dir();
  fflush(stderr);
  saved_fd = dup(2);
  FILE *f = fopen((path + "/stderr").c_str(), "w");
  dup2(fileno(f), 2);
  fclose(f);
}

std::string StderrCapture::finish() {
  if (saved_fd < 0) return "";
  fflush(stderr);
  dup2(saved_fd, 2);
  close(saved_fd);
  saved_fd = -1;
  Bytes b = read_file(path + "/stderr");
  remove_tree(path);
  return std::string(b.begin(), b.end());
}

StderrCapture::~StderrCapture() {
  finish();
}

void use_file_device(const std::string &dir, bool fifo) {
  std::string out = dir + "/out.raw";
  if (fifo) mkfifo(out.c_str(), 0600);
  std::string config = dir + "/alsa.conf";
  std::ofstream rc(config);
  rc << "pcm.!default { type file; slave { pcm { type null } } file \"" << out
     << "\"; format \"raw\"; truncate " << (fifo ? "true" : "false") << " }\n";
  rc.close();
  setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
}

std::string stream_file(const std::string &dir, int n) {
  if (n == 0) return dir + "/out.raw";
  char suffix[16];
  snprintf(suffix, sizeof suffix, ".%04d", n);
  return dir + "/out.raw" + suffix;
}
