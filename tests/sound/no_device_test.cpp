// Without any audio device the sound module is silent, on standard error
// too: alsa-lib and libjack used to print about a hundred lines there.
#include "sound_test_util.h"

#include "pa.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(NoDevice, NothingOnStderr) {
  std::string out = make_temp_dir();
  pid_t child = fork();
  if (child == 0) {
    setenv("ALSA_CONFIG_PATH", NO_AUDIO_CONFIG, 1); // no device even where a card exists
    freopen((out + "/stdout").c_str(), "w", stdout);
    freopen((out + "/stderr").c_str(), "w", stderr);
    execl(PLAY_CHILD, PLAY_CHILD, SOUND_DIR, (char *)nullptr);
    _exit(127);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  Bytes said = read_file(out + "/stdout"), complained = read_file(out + "/stderr");
  EXPECT_EQ(std::string(said.begin(), said.end()), "loaded 9 played 0 1 2 3 4 5 6 7 8 -100\n");
  EXPECT_EQ(std::string(complained.begin(), complained.end()), "");
  remove_tree(out);
}

// Where no thread can be made for the audio library's start (a limit on
// threads), the player starts it itself: every request is taken, and the
// only thread-creation message is kept for the player's own thread.
TEST(NoDevice, NoThreadForTheLibraryStart) {
#if defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the thread sanitizer starts threads of its own";
#endif
  // The limit counts every thread of the real user: only a fresh user's
  // count is known, so this needs root.
  if (geteuid() != 0) GTEST_SKIP() << "needs root";
  std::string out = make_temp_dir();
  pid_t child = fork();
  if (child == 0) {
    setenv("ALSA_CONFIG_PATH", NO_AUDIO_CONFIG, 1);
    freopen((out + "/stderr").c_str(), "w", stderr);
    rlimit one_more = {2, 2}; // this process and the player
    if (setgid(61999) != 0 || setuid(61999) != 0 || setrlimit(RLIMIT_NPROC, &one_more) != 0)
      _exit(3);
    std::vector<int> log;
    played_ids = &log;
    create_play_all_wav(0);
    set_play_wav(SOUND_POP);
    set_play_wav(SOUND_STOP);
    wait_for_sound_threads();
    terminate_audio();
    _exit(log == std::vector<int>{SOUND_POP, SOUND_STOP, PLAYED_BATCH_END} ? 0 : 4);
  }
  int status = -1;
  for (int i = 0; i < 1000 && waitpid(child, &status, WNOHANG) == 0; i++)
    usleep(10000);
  if (kill(child, SIGKILL) == 0) waitpid(child, &status, 0); // hung: the library never started
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  Bytes complained = read_file(out + "/stderr");
  EXPECT_EQ(std::string(complained.begin(), complained.end()), "");
  remove_tree(out);
}
