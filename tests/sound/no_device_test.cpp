// Without any audio device the sound module is silent, on standard error
// too: alsa-lib and libjack used to print about a hundred lines there.
#include "sound_test_util.h"

#include <gtest/gtest.h>
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
