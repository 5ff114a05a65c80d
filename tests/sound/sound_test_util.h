// Helpers shared by the sound tests: temporary directories, WAV files
// written by the tests, and capture of standard error.
#pragma once

#include <string>
#include <vector>

typedef std::vector<unsigned char> Bytes;

std::string make_temp_dir();
void remove_tree(const std::string &path);
void write_file(const std::string &path, const Bytes &bytes);
Bytes read_file(const std::string &path);
bool file_exists(const std::string &path);

// A canonical 44-byte header followed by data; data_size is what the header
// declares, which may differ from data.size().
Bytes wav_file(int format, int channels, unsigned rate, int bits, unsigned data_size,
               const Bytes &data);
// A PCM file whose header declares exactly its data.
Bytes pcm_file(int channels, unsigned rate, int bits, const Bytes &data);
// One chunk of a RIFF file: its id, its size and its body, padded to an
// even size.
Bytes wav_chunk(const char *id, const Bytes &body);
// The body of a format chunk: the 16 bytes of its fields, then zeros up to
// size bytes.
Bytes format_body(int format, int channels, unsigned rate, int bits, size_t size = 16);
// "RIFF", its size, "WAVE" and the chunks.
Bytes riff_file(const std::vector<Bytes> &chunks);
// n pseudo-random bytes, none of them zero; each seed gives its own run.
Bytes pattern(size_t n, int seed);

// Where bytes first occur inside haystack, or -1.
long find_bytes(const Bytes &haystack, const Bytes &needle);

// Redirects the process's standard error into a file until finish().
class StderrCapture {
public:
  StderrCapture();
  ~StderrCapture();
  std::string finish();

private:
  int saved_fd;
  std::string path;
};

// Makes ALSA's whole configuration one default device that writes to
// dir/out.raw, so PortAudio sees one device, "default", and nothing of the
// machine's. With fifo, out.raw
// is a named pipe that the test reads; otherwise each stream gets its own
// file (out.raw, out.raw.0001, ...).
void use_file_device(const std::string &dir, bool fifo);
// The stream file of the nth stream (0 = out.raw).
std::string stream_file(const std::string &dir, int n);
