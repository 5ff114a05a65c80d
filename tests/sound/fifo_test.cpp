// The player while a clip is playing. The ALSA device writes into a named
// pipe that this test reads, so a stream stays open until the test has read
// it: "a clip is playing" is a state the test holds, not a moment it hopes
// to catch.
#include "pa.h"
#include "sound_test_util.h"

#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

static std::string device_dir;

class PipeDevice : public ::testing::Environment {
public:
  void SetUp() override {
    device_dir = make_temp_dir();
    use_file_device(device_dir, true);
    initialize_audio();
  }
  void TearDown() override {
    terminate_audio();
    remove_tree(device_dir);
  }
};

// Reads whatever the player writes into the pipe, on a thread of its own.
// Streams that follow each other closely can share one opening of the pipe,
// so the bytes are kept as one run.
class PipeReader {
public:
  Bytes heard;

  // Waits until the player opens a stream. The stream cannot end before
  // read_on, as its clip is larger than the pipe.
  void wait_for_stream() { fd = open(pipe_path().c_str(), O_RDONLY); }
  // Reads in the background until finish; with bytes_per_second, no faster
  // than that, as a device that plays in real time.
  void read_on(long bytes_per_second = 0) {
    pace = bytes_per_second;
    reader = std::thread([this] { read_streams(); });
  }
  // Call once the player has closed its last stream: the reader ends at the
  // next end of file, after all it wrote.
  void finish() {
    done = true;
    // A reader waiting in open() is let through to an empty end of file.
    while (!ended) {
      int writer = open(pipe_path().c_str(), O_WRONLY | O_NONBLOCK);
      if (writer >= 0) close(writer);
      std::this_thread::yield();
    }
    reader.join();
  }

private:
  std::thread reader;
  int fd = -1;
  long pace = 0;
  std::atomic<bool> done{false}, ended{false};
  static std::string pipe_path() { return device_dir + "/out.raw"; }
  void read_streams() {
    for (;;) {
      unsigned char chunk[4096];
      ssize_t got;
      while ((got = read(fd, chunk, pace ? 4096 : sizeof chunk)) > 0) {
        heard.insert(heard.end(), chunk, chunk + got);
        if (pace) std::this_thread::sleep_for(std::chrono::microseconds(got * 1000000 / pace));
      }
      close(fd);
      if (done) break;
      fd = open(pipe_path().c_str(), O_RDONLY);
    }
    ended = true;
  }
};

class WhilePlaying : public ::testing::Test {
protected:
  std::vector<int> log;
  Bytes long_clip = pattern(2 * 44100 * 2, 1); // 1 s of 16-bit stereo, more than a pipe holds
  Bytes short_clip = pattern(2000, 2);
  void SetUp() override {
    wave[SOUND_PAN] = WaveClip{1.0f, 44100, long_clip.data(), 2, 16};
    wave[SOUND_FANFARE] = WaveClip{500 / 8000.0f, 8000, short_clip.data(), 2, 16};
    played_ids = &log;
  }
  void TearDown() override {
    stop_sound_threads();
    played_ids = nullptr;
    wave[SOUND_PAN] = wave[SOUND_FANFARE] = WaveClip();
  }
};

TEST_F(WhilePlaying, RequestJoinsTheRunningBatch) {
  PipeReader reader;
  set_play_wav(SOUND_PAN);
  create_play_all_wav(0);
  reader.wait_for_stream();
  EXPECT_EQ(set_play_wav(SOUND_FANFARE), 2);
  reader.read_on();
  // The batch ends, emptying the queue, only after the fanfare.
  while (global_wave_cnt.load() != 0)
    std::this_thread::yield();
  set_play_wav(SOUND_STOP);
  wait_for_sound_threads();
  reader.finish();

  EXPECT_EQ(log, (std::vector<int>{SOUND_PAN, SOUND_FANFARE, PLAYED_BATCH_END, SOUND_STOP,
                                   PLAYED_BATCH_END}));
  long pan = find_bytes(reader.heard, long_clip);
  long fanfare = find_bytes(reader.heard, short_clip);
  EXPECT_GE(pan, 0);
  EXPECT_GT(fanfare, pan);
}

TEST_F(WhilePlaying, FullQueueDropsAndShutdownStillEnds) {
  PipeReader reader;
  set_play_wav(SOUND_PAN);
  create_play_all_wav(0);
  reader.wait_for_stream();
  for (int n = 2; n <= WAVE_QUEUE_SIZE; n++)
    ASSERT_EQ(set_play_wav(SOUND_FANFARE), n);
  EXPECT_EQ(set_play_wav(SOUND_HONK), WAVE_QUEUE_SIZE);
  EXPECT_EQ(set_play_wav(SOUND_STOP), WAVE_QUEUE_SIZE);

  // What main's shutdown relies on: the player ends with the clip it plays.
  reader.read_on();
  stop_sound_threads();
  reader.finish();
  EXPECT_EQ(log, (std::vector<int>{SOUND_PAN, PLAYED_BATCH_END}));
  EXPECT_EQ(find_bytes(reader.heard, short_clip), -1);
  EXPECT_EQ(global_wave_cnt.load(), 0);
}

// Quit while a clip plays in real time: the clip is cut short at once and
// the player ends. (The stream's end, reported from PortAudio's thread,
// met the player's wait here.)
TEST_F(WhilePlaying, StopCutsARealTimeClipShort) {
  PipeReader reader;
  set_play_wav(SOUND_PAN);
  create_play_all_wav(0);
  reader.wait_for_stream();
  reader.read_on(2 * 2 * 44100);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  stop_sound_threads();
  reader.finish();
  EXPECT_EQ(log, (std::vector<int>{SOUND_PAN, PLAYED_BATCH_END}));
  Bytes last_quarter(long_clip.end() - long_clip.size() / 4, long_clip.end());
  EXPECT_EQ(find_bytes(reader.heard, last_quarter), -1);
}

int main(int argc, char **argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new PipeDevice);
  return RUN_ALL_TESTS();
}
