// The request queue and the player thread. The clip table is left empty,
// so every clip is skipped at once (the player starts the audio library in
// the tests' world without a device); the player's record of the ids it
// took shows what it did.
#include "pa.h"

#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <thread>

class Player : public ::testing::Test {
protected:
  std::vector<int> log;
  void SetUp() override {
    played_ids = &log;
    global_wave_cnt = 0;
  }
  void TearDown() override {
    stop_sound_threads();
    played_ids = nullptr;
  }
};

TEST_F(Player, StopIdEndsThePlayerAndDropsWhatFollows) {
  for (int id : std::vector<int>{4, 5, SOUND_STOP, 1})
    set_play_wav(id);
  create_play_all_wav(0);
  wait_for_sound_threads();
  EXPECT_EQ(log, (std::vector<int>{4, 5, SOUND_STOP, PLAYED_BATCH_END}));
  EXPECT_EQ(global_wave_cnt.load(), 0);
}

TEST_F(Player, FullQueueDropsRequests) {
  for (int i = 0; i < WAVE_QUEUE_SIZE; i++)
    ASSERT_EQ(set_play_wav(i % 9), i + 1);
  EXPECT_EQ(set_play_wav(SOUND_HONK), WAVE_QUEUE_SIZE);
  EXPECT_EQ(set_play_wav(SOUND_STOP), WAVE_QUEUE_SIZE);
  for (int i = 0; i < WAVE_QUEUE_SIZE; i++)
    ASSERT_EQ(global_wave_list[i], i % 9);
}

// The stop id was dropped from a full queue: shutdown used to wait for a
// player that never saw it.
TEST_F(Player, StopIsForcedWhenTheStopIdWasDropped) {
  for (int i = 0; i < WAVE_QUEUE_SIZE; i++)
    set_play_wav(i % 9);
  EXPECT_EQ(set_play_wav(SOUND_STOP), WAVE_QUEUE_SIZE);
  create_play_all_wav(0);
  stop_sound_threads();
  EXPECT_EQ(global_wave_cnt.load(), 0);
  int played = 0;
  for (int id : log) {
    ASSERT_NE(id, SOUND_STOP);
    if (id == PLAYED_BATCH_END) continue;
    EXPECT_EQ(id, played++ % 9);
  }
  EXPECT_LE(played, WAVE_QUEUE_SIZE);

  // An idle player is woken by the stop too.
  log.clear();
  create_play_all_wav(0);
  stop_sound_threads();
  EXPECT_TRUE(log.empty());
}

// One producer, the player as consumer: every accepted id is played once,
// in order, and no batch holds more than the queue.
TEST_F(Player, ProducerAndPlayerLoseNothing) {
  unsigned seed = (unsigned)std::chrono::steady_clock::now().time_since_epoch().count();
  printf("seed %u\n", seed);
  std::mt19937 random(seed);
  std::vector<int> sent;
  create_play_all_wav(0);
  for (int i = 0; i < 20000; i++) {
    int id = (int)(random() % 10);
    // Only this thread adds to the queue, so below 128 the append succeeds.
    while (global_wave_cnt.load() >= WAVE_QUEUE_SIZE)
      std::this_thread::yield();
    set_play_wav(id);
    sent.push_back(id);
    if (random() % 64 == 0) std::this_thread::yield();
  }
  while (global_wave_cnt.load() >= WAVE_QUEUE_SIZE)
    std::this_thread::yield();
  set_play_wav(SOUND_STOP);
  sent.push_back(SOUND_STOP);
  wait_for_sound_threads();

  std::vector<int> played;
  int batch = 0;
  for (int id : log) {
    if (id == PLAYED_BATCH_END) {
      batch = 0;
      continue;
    }
    played.push_back(id);
    ASSERT_LE(++batch, WAVE_QUEUE_SIZE);
  }
  EXPECT_EQ(played, sent);
  EXPECT_EQ(global_wave_cnt.load(), 0);
}
