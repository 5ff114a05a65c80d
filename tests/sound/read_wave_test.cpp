// The WAV reader and the clip table, on files the tests write.
#include "pa.h"
#include "read_wave.h"
#include "sound_test_util.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

struct Clip {
  unsigned char *data = nullptr;
  int bits = -1, channels = -1, frames = -1;
  float rate = -1, duration = -1;
  ~Clip() { free(data); }
  Bytes bytes(size_t n) const { return Bytes(data, data + n); }
};

class ReadWave : public ::testing::Test {
protected:
  std::string dir = make_temp_dir();
  ~ReadWave() override { remove_tree(dir); }

  // Writes the file and reads it back.
  void read(const Bytes &file, Clip &clip) {
    std::string path = dir + "/clip.wav";
    write_file(path, file);
    clip.data = read_wave(path.c_str(), &clip.bits, &clip.channels, &clip.rate, &clip.frames,
                          &clip.duration);
  }
  bool refused(const Bytes &file) {
    Clip clip;
    read(file, clip);
    return clip.data == nullptr;
  }
};

TEST_F(ReadWave, Mono16) {
  Bytes data = pattern(16000, 1);
  Clip clip;
  read(pcm_file(1, 8000, 16, data), clip);
  ASSERT_NE(clip.data, nullptr);
  EXPECT_EQ(clip.frames, 8000);
  EXPECT_EQ(clip.duration, 1.0f);
  EXPECT_EQ(clip.rate, 8000.0f);
  EXPECT_EQ(clip.channels, 1);
  EXPECT_EQ(clip.bits, 16);
  EXPECT_EQ(clip.bytes(16000), data);
}

TEST_F(ReadWave, StereoAndEightBitAndWideFramesKeepFileOrder) {
  struct Case {
    int channels, bits;
  } cases[] = {{2, 16}, {1, 8}, {2, 8}, {2, 32}, {4, 16}};
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.channels << " channels, " << c.bits << " bits");
    size_t frame = c.channels * c.bits / 8;
    Bytes data = pattern(frame * 300, c.channels + c.bits);
    Clip clip;
    read(pcm_file(c.channels, 22050, c.bits, data), clip);
    ASSERT_NE(clip.data, nullptr);
    EXPECT_EQ(clip.frames, 300);
    EXPECT_EQ(clip.channels, c.channels);
    EXPECT_EQ(clip.bytes(data.size()), data);
  }
}

TEST_F(ReadWave, RefusesWhatThePlayerCannotPlay) {
  Bytes data = pattern(64, 2);
  for (int format : {3, 6, 7, 0, 2})
    EXPECT_TRUE(refused(wav_file(format, 1, 8000, 16, 64, data))) << "format " << format;
  // Two 12-bit samples make a 3-byte frame of 1-byte samples.
  EXPECT_TRUE(refused(pcm_file(2, 8000, 12, data)));
  // These divided by zero or made clips longer than their buffers.
  EXPECT_TRUE(refused(pcm_file(0, 8000, 16, data)));
  EXPECT_TRUE(refused(pcm_file(1, 8000, 0, data)));
  EXPECT_TRUE(refused(pcm_file(1, 0, 16, data)));
  for (int bits : {4, 12, 24, 64})
    EXPECT_TRUE(refused(pcm_file(1, 8000, bits, data))) << bits << " bits";
  EXPECT_TRUE(refused(wav_file(1, 1, 8000, 16, MAX_CLIP_FRAMES * 2, data)));
  EXPECT_TRUE(refused(wav_file(1, 1, 8000, 16, 0xFFFFFFFF, data)));
  // Eight times this size wraps to 128 in 32 bits: it made an 8-frame clip.
  EXPECT_TRUE(refused(wav_file(1, 1, 8000, 16, 0x20000010, data)));

  // Files that are not RIFF WAVE files with a format chunk and then a data
  // chunk; each is at least as long as a canonical header.
  Bytes format = wav_chunk("fmt ", format_body(1, 1, 8000, 16));
  Bytes samples = wav_chunk("data", data);
  Bytes list = wav_chunk("LIST", pattern(40, 6));
  Bytes not_riff = riff_file({format, samples}), not_wave = not_riff;
  not_riff[3] = 'X';
  not_wave[11] = 'X';
  Bytes cut_format = riff_file({wav_chunk("fmt ", format_body(1, 1, 8000, 16, 40))});
  cut_format.resize(50);
  Bytes past_the_end = riff_file({format, wav_chunk("LIST", pattern(64, 7)), samples});
  past_the_end[43] = 0x7f; // the LIST chunk claims more than the file holds
  struct Case {
    const char *what;
    Bytes file;
  } cases[] = {
      {"RIFX", not_riff},
      {"not WAVE", not_wave},
      {"no format chunk", riff_file({list, samples})},
      {"no data chunk", riff_file({format, list})},
      {"data before format", riff_file({samples, format})},
      {"format chunk of 14 bytes", riff_file({wav_chunk("fmt ", Bytes(14, 1)), samples})},
      {"format chunk cut short", cut_format},
      {"a chunk runs past the end", past_the_end},
  };
  for (const Case &c : cases) {
    ASSERT_GE(c.file.size(), 44u) << c.what;
    EXPECT_TRUE(refused(c.file)) << c.what;
  }
}

TEST_F(ReadWave, RefusesFilesShorterThanTheHeader) {
  Bytes file = pcm_file(1, 8000, 16, Bytes());
  for (size_t size : {0, 1, 20, 43}) {
    file.resize(size);
    EXPECT_TRUE(refused(file)) << size << " bytes";
  }
  EXPECT_EQ(read_wave((dir + "/missing.wav").c_str(), nullptr, nullptr, nullptr, nullptr, nullptr),
            nullptr);
}

TEST_F(ReadWave, LongestAcceptedClipNeverClaimsMoreFramesThanItHolds) {
  unsigned frames = MAX_CLIP_FRAMES - 1;
  for (unsigned rate : {8000u, 11025u, 44100u, 96000u}) {
    Clip clip;
    read(wav_file(1, 1, rate, 8, frames, Bytes()), clip);
    ASSERT_NE(clip.data, nullptr);
    EXPECT_EQ(clip.frames, (int)frames);
    int played = clip_frames(clip.duration, clip.rate);
    EXPECT_LE(played, clip.frames) << rate << " Hz";
    EXPECT_GE(played, clip.frames - 1) << rate << " Hz";
  }
}

// Editors write other chunks before the data, and longer format chunks; the
// clip holds the samples only, never the bytes of another chunk.
TEST_F(ReadWave, FindsTheChunksWhereverTheyAre) {
  Bytes data = pattern(600, 8);
  Bytes format = wav_chunk("fmt ", format_body(1, 2, 22050, 16));
  Bytes samples = wav_chunk("data", data);
  // Odd sizes: each body is followed by a pad byte.
  Bytes list = wav_chunk("LIST", Bytes{'I', 'N', 'F', 'O', 'I', 'S', 'F', 'T', 'x'});
  Bytes fact = wav_chunk("fact", Bytes{150, 0, 0, 0, 7});
  struct Case {
    const char *what;
    Bytes file;
  } cases[] = {
      {"LIST before data", riff_file({format, list, samples})},
      {"format chunk of 18 bytes",
       riff_file({wav_chunk("fmt ", format_body(1, 2, 22050, 16, 18)), fact, samples})},
      {"chunks before the format", riff_file({fact, list, format, samples})},
      {"a chunk after the data", riff_file({format, samples, list})},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    Clip clip;
    read(c.file, clip);
    ASSERT_NE(clip.data, nullptr);
    EXPECT_EQ(clip.frames, 150);
    EXPECT_EQ(clip.channels, 2);
    EXPECT_EQ(clip.rate, 22050.0f);
    EXPECT_EQ(clip.bytes(data.size()), data);
  }

  // Only a regular file is read, and a FIFO of that name blocks nothing.
  std::string fifo = dir + "/fifo.wav";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  pid_t child = fork();
  if (child == 0) {
    alarm(60); // a blocked open fails the case instead of hanging it
    int bits, channels, frames;
    float rate, duration;
    _exit(read_wave(fifo.c_str(), &bits, &channels, &rate, &frames, &duration) ? 1 : 0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

TEST_F(ReadWave, EmptyAndTruncatedData) {
  Clip empty;
  read(pcm_file(1, 8000, 16, Bytes()), empty);
  ASSERT_NE(empty.data, nullptr);
  EXPECT_EQ(empty.frames, 0);
  EXPECT_EQ(empty.duration, 0.0f);

  // 100 stereo frames declared, 40 and a half present: the half frame is
  // not played, the missing ones are silence.
  Bytes held = pattern(40 * 4 + 2, 3);
  Clip cut;
  read(wav_file(1, 2, 8000, 16, 400, held), cut);
  ASSERT_NE(cut.data, nullptr);
  EXPECT_EQ(cut.frames, 100);
  Bytes expected(held.begin(), held.begin() + 160);
  expected.resize(400, 0);
  EXPECT_EQ(cut.bytes(400), expected);
}

TEST_F(ReadWave, ClipTableKeepsSlotOfUnreadableFile) {
  write_file(dir + "/good.wav", pcm_file(2, 11025, 8, pattern(20, 4)));
  write_file(dir + "/bad.wav", wav_file(7, 1, 8000, 8, 4, pattern(4, 5)));
  read_wav((dir + "/good.wav").c_str(), 9);
  ASSERT_NE(wave[9].data, nullptr);
  EXPECT_EQ(wave[9].channels, 2);
  EXPECT_EQ(wave[9].bits_per_sample, 8);
  EXPECT_EQ(wave[9].sample_rate, 11025.0f);
  EXPECT_EQ(clip_frames(wave[9].duration, wave[9].sample_rate), 10);
  unsigned char *kept = wave[9].data;
  read_wav((dir + "/bad.wav").c_str(), 9);
  read_wav((dir + "/missing.wav").c_str(), 9);
  EXPECT_EQ(wave[9].data, kept);
  free(wave[9].data);
  wave[9] = WaveClip();
}

// The generator's nine files: short 16-bit mono clips, all different.
TEST(GameSounds, NineShortDistinctClips) {
  const char *names[9] = {"pop.wav", "blop.wav", "fanfare.wav", "sad.wav", "thump.wav",
                          "pan.wav", "ding.wav", "bell.wav",    "honk.wav"};
  std::vector<Bytes> seen;
  for (const char *name : names) {
    SCOPED_TRACE(name);
    Clip clip;
    clip.data = read_wave((std::string(SOUND_DIR) + "/" + name).c_str(), &clip.bits, &clip.channels,
                          &clip.rate, &clip.frames, &clip.duration);
    ASSERT_NE(clip.data, nullptr);
    EXPECT_EQ(clip.bits, 16);
    EXPECT_EQ(clip.channels, 1);
    EXPECT_EQ(clip.rate, 44100.0f);
    EXPECT_GT(clip.duration, 0.03f);
    EXPECT_LT(clip.duration, 2.0f);
    Bytes bytes = clip.bytes(clip.frames * 2);
    EXPECT_NE(bytes, Bytes(bytes.size(), 0));
    for (const Bytes &other : seen)
      EXPECT_NE(bytes, other);
    seen.push_back(bytes);
  }
}
