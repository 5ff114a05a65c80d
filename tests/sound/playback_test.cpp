// The stream callback's framing of a clip into 512-frame buffers.
#include "pa.h"
#include "read_wave.h"
#include "sound_test_util.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <portaudio.h>

struct Buffer {
  int result;
  Bytes bytes;
};

static PlaybackState clip_state(const Bytes &data, int frames, int channels, int bits,
                                int silence = 0) {
  return PlaybackState{0, frames, data.data(), channels, bits, silence};
}

// Calls the fill function the way the stream does until it completes.
static std::vector<Buffer> play_out(PlaybackState &state) {
  size_t frame = state.channels * bytes_per_sample(state.bits_per_sample);
  std::vector<Buffer> buffers;
  for (int i = 0; i < 1000; i++) {
    Bytes out(512 * frame, 0xEE);
    int result = fill_output_buffer(&state, out.data(), 512);
    buffers.push_back({result, out});
    if (result == paComplete) break;
    EXPECT_EQ(result, paContinue);
  }
  return buffers;
}

static Bytes slice(const Bytes &b, size_t from, size_t n) {
  return Bytes(b.begin() + from, b.begin() + from + n);
}

TEST(Framing, MultipleOf512EndsWithABufferOfSilence) {
  Bytes data = pattern(1024 * 2, 1);
  PlaybackState state = clip_state(data, 1024, 1, 16);
  std::vector<Buffer> b = play_out(state);
  ASSERT_EQ(b.size(), 3u);
  EXPECT_EQ(b[0].result, paContinue);
  EXPECT_EQ(b[1].result, paContinue);
  EXPECT_EQ(b[2].result, paComplete);
  EXPECT_EQ(b[0].bytes, slice(data, 0, 1024));
  EXPECT_EQ(b[1].bytes, slice(data, 1024, 1024));
  EXPECT_EQ(b[2].bytes, Bytes(1024, 0));
  EXPECT_EQ(state.position, 1024);
}

TEST(Framing, ShortLastBufferIsPaddedWithSilence) {
  Bytes data = pattern(1023 * 2, 2);
  PlaybackState state = clip_state(data, 1023, 1, 16);
  std::vector<Buffer> b = play_out(state);
  ASSERT_EQ(b.size(), 2u);
  EXPECT_EQ(b[1].result, paComplete);
  EXPECT_EQ(slice(b[1].bytes, 0, 511 * 2), slice(data, 1024, 511 * 2));
  EXPECT_EQ(slice(b[1].bytes, 511 * 2, 2), Bytes(2, 0));
  EXPECT_EQ(state.position, 1023);

  Bytes none(1);
  PlaybackState empty = clip_state(none, 0, 1, 16);
  b = play_out(empty);
  ASSERT_EQ(b.size(), 1u);
  EXPECT_EQ(b[0].bytes, Bytes(1024, 0));
}

TEST(Framing, StereoEightBitAndWideFramesAreCopiedWhole) {
  struct Case {
    int channels, bits;
  } cases[] = {{2, 16}, {1, 8}, {2, 32}, {4, 16}};
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.channels << " channels, " << c.bits << " bits");
    size_t frame = c.channels * c.bits / 8;
    Bytes data = pattern(600 * frame, c.bits);
    PlaybackState state = clip_state(data, 600, c.channels, c.bits);
    std::vector<Buffer> b = play_out(state);
    ASSERT_EQ(b.size(), 2u);
    Bytes heard = b[0].bytes;
    heard.insert(heard.end(), b[1].bytes.begin(), b[1].bytes.end());
    Bytes expected = data;
    expected.resize(1024 * frame, 0);
    EXPECT_EQ(heard, expected);
  }
}

// After the last frame the stream gets the zero frames owed for the output
// latency before it completes; without them ALSA dropped the clip's end.
TEST(Framing, ClipIsFollowedBySilenceCoveringTheLatency) {
  Bytes data = pattern(100 * 2, 3);
  PlaybackState state = clip_state(data, 100, 1, 16, 700);
  std::vector<Buffer> b = play_out(state);
  ASSERT_EQ(b.size(), 2u);
  EXPECT_EQ(b[0].result, paContinue);
  EXPECT_EQ(slice(b[0].bytes, 0, 200), data);
  EXPECT_EQ(slice(b[0].bytes, 200, 824), Bytes(824, 0));
  EXPECT_EQ(b[1].bytes, Bytes(1024, 0));
  EXPECT_EQ(state.position, 100);
}

TEST(Framing, FramesPlayedFollowDurationTimesRate) {
  std::string dir = make_temp_dir();
  struct Case {
    unsigned frames, rate;
    int played;
  } cases[] = {{253, 8000, 252}, {22050, 22050, 22050}};
  for (const Case &c : cases) {
    write_file(dir + "/clip.wav", pcm_file(1, c.rate, 16, pattern(c.frames * 2, 4)));
    int bits, channels, frames;
    float rate, duration;
    unsigned char *data =
        read_wave((dir + "/clip.wav").c_str(), &bits, &channels, &rate, &frames, &duration);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(frames, (int)c.frames);
    int played = clip_frames(duration, rate);
    EXPECT_EQ(played, c.played) << c.frames << " frames at " << c.rate;
    Bytes clip(data, data + frames * 2);
    PlaybackState state = clip_state(clip, played, 1, 16);
    play_out(state);
    EXPECT_EQ(state.position, c.played);
    free(data);
  }
  remove_tree(dir);
}
