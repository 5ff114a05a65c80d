// The player through PortAudio into a real ALSA device that writes every
// stream into a file of its own (out.raw, out.raw.0001, ...).
#include "pa.h"
#include "sound_test_util.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <portaudio.h>

static std::string device_dir;

class FileDevice : public ::testing::Environment {
public:
  void SetUp() override {
    device_dir = make_temp_dir();
    use_file_device(device_dir, false);
    initialize_audio();
  }
  void TearDown() override {
    terminate_audio();
    remove_tree(device_dir);
  }
};

static const char *sound_names[9] = {"pop.wav", "blop.wav", "fanfare.wav", "sad.wav", "thump.wav",
                                     "pan.wav", "ding.wav", "bell.wav",    "honk.wav"};

class Device : public ::testing::Test {
protected:
  std::vector<int> log;
  void SetUp() override {
    for (int n = 0; n < 20; n++)
      remove(stream_file(device_dir, n).c_str());
    for (int id = 0; id < 9; id++)
      read_wav((std::string(SOUND_DIR) + "/" + sound_names[id]).c_str(), id);
    played_ids = &log;
    set_sound_on(true);
  }
  void TearDown() override {
    stop_sound_threads();
    played_ids = nullptr;
    for (int id = 0; id < 9; id++) {
      free(wave[id].data);
      wave[id] = WaveClip();
    }
  }
  int streams() {
    int n = 0;
    while (file_exists(stream_file(device_dir, n)))
      n++;
    return n;
  }
};

// Zero frames the device needs after a clip to play its end: its output
// latency for a stream like the clip's.
static long latency_frames(const WaveClip &clip) {
  PaStreamParameters out = {Pa_GetDefaultOutputDevice(), clip.channels, paInt16,
                            Pa_GetDeviceInfo(Pa_GetDefaultOutputDevice())->defaultLowOutputLatency,
                            nullptr};
  PaStream *stream;
  if (Pa_OpenStream(&stream, nullptr, &out, clip.sample_rate, 512, paClipOff, nullptr, nullptr) !=
      paNoError)
    return -1;
  long frames = (long)std::ceil(Pa_GetStreamInfo(stream)->outputLatency * clip.sample_rate);
  Pa_CloseStream(stream);
  return frames;
}

TEST_F(Device, RequestsAreHeardInOrderToTheirLastFrame) {
  ASSERT_EQ(Pa_GetDeviceCount(), 1);
  std::vector<int> ids = {SOUND_HONK, SOUND_POP, SOUND_THUMP, SOUND_FANFARE, SOUND_POP};
  for (int id : ids)
    set_play_wav(id);
  set_play_wav(SOUND_STOP);
  create_play_all_wav(0);
  wait_for_sound_threads();

  ASSERT_EQ(streams(), (int)ids.size());
  // Measured after the clips: opening a stream adds a stream file.
  long latency = latency_frames(wave[SOUND_POP]);
  ASSERT_GT(latency, 0);
  for (size_t n = 0; n < ids.size(); n++) {
    SCOPED_TRACE(testing::Message() << "stream " << n << ", sound " << ids[n]);
    const WaveClip &clip = wave[ids[n]];
    size_t frame = clip.channels * 2;
    Bytes heard = read_file(stream_file(device_dir, (int)n));
    Bytes played(clip.data, clip.data + clip_frames(clip.duration, clip.sample_rate) * frame);
    long at = find_bytes(heard, played);
    ASSERT_GE(at, 0);
    Bytes after(heard.begin() + at + played.size(), heard.end());
    EXPECT_EQ(after, Bytes(after.size(), 0));
    EXPECT_GE((long)(after.size() / frame), latency);
  }
}

TEST_F(Device, MissingClipIsSkippedSilently) {
  free(wave[SOUND_SAD].data);
  wave[SOUND_SAD] = WaveClip();
  StderrCapture err;
  for (int id : std::vector<int>{SOUND_SAD, SOUND_DING, SOUND_STOP})
    set_play_wav(id);
  create_play_all_wav(0);
  wait_for_sound_threads();
  EXPECT_EQ(err.finish(), "");
  EXPECT_EQ(log, (std::vector<int>{SOUND_SAD, SOUND_DING, SOUND_STOP, PLAYED_BATCH_END}));
  ASSERT_EQ(streams(), 1);
  const WaveClip &ding = wave[SOUND_DING];
  Bytes played(ding.data, ding.data + 2 * clip_frames(ding.duration, ding.sample_rate));
  EXPECT_GE(find_bytes(read_file(stream_file(device_dir, 0)), played), 0);
}

// Sound off (Game -> Sound): what was queued before is skipped, new
// requests are not even queued, so nothing is heard now or, stale, once it
// is on again; the stop still reaches the player.
TEST_F(Device, WithTheSoundOffNothingIsQueuedOrHeard) {
  set_play_wav(SOUND_POP);
  set_sound_on(false);
  EXPECT_EQ(set_play_wav(SOUND_FANFARE), 1);
  EXPECT_EQ(set_play_wav(SOUND_STOP), 2);
  create_play_all_wav(0);
  wait_for_sound_threads();
  EXPECT_EQ(streams(), 0);
  EXPECT_EQ(log, (std::vector<int>{SOUND_POP, SOUND_STOP, PLAYED_BATCH_END}));
}

TEST_F(Device, StreamErrorIsReportedOnStderr) {
  StderrCapture err;
  Bytes data = pattern(64, 1);
  EXPECT_EQ(play_it(data.data(), 0.004f, 8000, 0, 16), 1);
  std::string expected = "An error occured while using the portaudio stream\n"
                         "Error number: -9998\n"
                         "Error message: " +
                         std::string(Pa_GetErrorText(paInvalidChannelCount)) + "\n";
  EXPECT_EQ(err.finish(), expected);
  EXPECT_EQ(streams(), 0);
}

TEST_F(Device, ClipsPlayedOutsideTheQueue) {
  std::string path = std::string(SOUND_DIR) + "/bell.wav";
  play_wav_file(path.c_str());
  create_play_wav(SOUND_BLOP);
  wait_for_sound_threads();
  ASSERT_EQ(streams(), 2);
  const WaveClip &bell = wave[SOUND_BELL], &blop = wave[SOUND_BLOP];
  Bytes bell_bytes(bell.data, bell.data + 2 * clip_frames(bell.duration, bell.sample_rate));
  Bytes blop_bytes(blop.data, blop.data + 2 * clip_frames(blop.duration, blop.sample_rate));
  EXPECT_GE(find_bytes(read_file(stream_file(device_dir, 0)), bell_bytes), 0);
  EXPECT_GE(find_bytes(read_file(stream_file(device_dir, 1)), blop_bytes), 0);
  EXPECT_TRUE(log.empty());
}

int main(int argc, char **argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new FileDevice);
  return RUN_ALL_TESTS();
}
