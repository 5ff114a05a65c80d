// The real program on the test's display: Quit from its own menu ends it
// with exit status 0.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The output of a shell command, without the trailing newline.
std::string run(const std::string &cmd) {
  std::string out;
  FILE *p = popen(cmd.c_str(), "r");
  if (!p) return out;
  char buf[256];
  while (fgets(buf, sizeof buf, p))
    out += buf;
  pclose(p);
  while (!out.empty() && out.back() == '\n')
    out.pop_back();
  return out;
}

// Waits for the child to end, for up to about the given number of polls.
bool wait_exit(pid_t pid, int &status, int polls) {
  for (int i = 0; i < polls; i++) {
    if (waitpid(pid, &status, WNOHANG) == pid) return true;
    usleep(10000);
  }
  return false;
}

TEST(ProgramExit, QuitFromTheGameMenuEndsWithStatusZero) {
  char tmpl[] = "/tmp/varnel-exit-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  std::string dir = tmpl;
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(127);
    execl(VARNEL_PROGRAM, VARNEL_PROGRAM, (char *)nullptr);
    _exit(127);
  }
  // xdotool waits for the main window to be mapped.
  std::string wid =
      run("timeout 30 xdotool search --sync --onlyvisible --name '^Varnel' 2>/dev/null | head -1");
  int status = 0;
  bool ended = false;
  // Click "Game", then Down and Return pick Quit. The keys can reach the
  // program before its menu is open; then Escape and try again.
  for (int attempt = 0; attempt < 5 && !wid.empty() && !ended; attempt++) {
    run("xdotool mousemove --window " + wid + " 20 15 click 1 sleep 0.3 key Down Return");
    ended = wait_exit(pid, status, 300);
    if (!ended) run("xdotool key Escape");
  }
  if (!ended) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  EXPECT_FALSE(wid.empty()) << "the main window did not appear";
  EXPECT_TRUE(ended) << "Quit did not end the program";
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(system(("rm -rf '" + dir + "'").c_str()), 0);
}

// `varnel --help` and a typo such as `varnel hard` dealt an Easy game over
// the kept one. --help and --version print and end with 0, any other
// argument that is no level the usage on stderr with 2; the kept game stays.
TEST(ProgramExit, HelpVersionAndMistakesLeaveTheKeptGame) {
  const struct {
    const char *arg, *status, *out, *err; // the start of each output
  } cases[] = {{"--help", "0", "Usage: varnel [LEVEL]", ""},
               {"--version", "0", "varnel " VARNEL_VERSION, ""},
               {"hard", "2", "", "varnel: not a level: \"hard\"\nUsage: varnel [LEVEL]"},
               {"", "2", "", "varnel: not a level"}};
  char tmpl[] = "/tmp/varnel-args-XXXXXX";
  std::string dir = mkdtemp(tmpl), kept = dir + "/varnel/game";
  ASSERT_EQ(system(("mkdir -m 700 " + dir + "/varnel && echo kept > " + kept).c_str()), 0);
  for (auto c : cases) {
    EXPECT_EQ(run("cd " + dir + " && XDG_STATE_HOME=" + dir + " timeout 20 " VARNEL_PROGRAM " '" +
                  c.arg + "' >out 2>err; echo $?"),
              c.status);
    EXPECT_EQ(run("cat " + dir + "/out").rfind(c.out, 0), 0u) << c.arg;
    EXPECT_EQ(run("cat " + dir + "/err").rfind(c.err, 0), 0u) << c.arg;
    EXPECT_EQ(run("cat " + kept), "kept");
  }
  EXPECT_EQ(system(("rm -rf '" + dir + "'").c_str()), 0);
}

} // namespace
