// The real program on the test's display: Quit from its own menu, also
// while the kept game's writer is held up, SIGTERM and SIGHUP end it with
// exit status 0.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <fcntl.h>
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

// A pipe whose buffer is full: a write to it blocks until the test reads.
bool fill_pipe(int fds[2]) {
  if (pipe(fds) != 0 || fcntl(fds[1], F_SETFL, O_NONBLOCK) != 0) return false;
  char block[4096] = {};
  while (write(fds[1], block, sizeof block) > 0) {
  }
  return errno == EAGAIN && fcntl(fds[1], F_SETFL, 0) == 0;
}

// The game, started in dir, its kept game in state; with nohup SIGHUP
// ignored, as `nohup varnel &` starts it; its standard error to err_fd.
pid_t start_game(const std::string &dir, const std::string &state, bool nohup = false,
                 int err_fd = -1) {
  pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(127);
    setenv("XDG_STATE_HOME", state.c_str(), 1);
    if (nohup) signal(SIGHUP, SIG_IGN);
    if (err_fd >= 0 && dup2(err_fd, 2) != 2) _exit(127);
    execl(VARNEL_PROGRAM, VARNEL_PROGRAM, (char *)nullptr);
    _exit(127);
  }
  return pid;
}

// Quit waited for ever for the kept game's writer, held here by the line it
// writes when the game cannot be kept going to a standard error that
// nobody reads (as a stalled home directory holds it): now it waits about
// two seconds.
void quit_from_the_game_menu(bool stalled_writer) {
  SCOPED_TRACE(stalled_writer ? "stalled writer" : "plain");
  char tmpl[] = "/tmp/varnel-exit-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  std::string dir = tmpl, not_a_dir = dir + "/file";
  int stderr_pipe[2] = {-1, -1};
  ASSERT_TRUE(!stalled_writer || (fill_pipe(stderr_pipe) && std::ofstream(not_a_dir)));
  pid_t pid = start_game(dir, stalled_writer ? not_a_dir : dir + "/state", false, stderr_pipe[1]);
  ASSERT_GE(pid, 0);
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
  for (int fd : stderr_pipe)
    if (fd >= 0) close(fd);
  EXPECT_EQ(system(("rm -rf '" + dir + "'").c_str()), 0);
}

TEST(ProgramExit, QuitFromTheGameMenuEndsWithStatusZero) {
  quit_from_the_game_menu(false);
  quit_from_the_game_menu(true);
}

// SIGTERM and SIGHUP end the game as Quit does, the game kept whole; under
// nohup SIGHUP ended it too, and now leaves it playing.
TEST(ProgramExit, SignalsEndTheGameAsQuitDoes) {
  for (auto [number, nohup] : {std::pair{SIGTERM, false}, {SIGHUP, false}, {SIGHUP, true}}) {
    SCOPED_TRACE(std::string(strsignal(number)) + (nohup ? " under nohup" : ""));
    char tmpl[] = "/tmp/varnel-exit-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    std::string dir = tmpl, kept = dir + "/state/varnel/game";
    pid_t pid = start_game(dir, dir + "/state", nohup);
    // Once the first deal has ended, its game is kept.
    for (int i = 0; i < 3000 && access(kept.c_str(), F_OK) != 0; i++)
      usleep(10000);
    kill(pid, number);
    int status = 0;
    bool ended = nohup && wait_exit(pid, status, 100);
    EXPECT_FALSE(nohup && ended) << "SIGHUP ended the game";
    if (nohup && !ended) kill(pid, SIGTERM);
    if (!ended && !wait_exit(pid, status, 300)) kill(pid, SIGKILL), waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    std::stringstream text;
    text << std::ifstream(kept).rdbuf();
    EXPECT_TRUE(text.str().find("varnel game 1\n") == 0 &&
                text.str().find("\nend\n") != std::string::npos);
    EXPECT_EQ(system(("rm -rf '" + dir + "'").c_str()), 0);
  }
}

// `varnel --help` and a typo such as `varnel hard` dealt an Easy game over
// the kept one. --help and --version print and end with 0, any other
// argument that is no level, or a bad deal number, a message on stderr with
// 2; the kept game stays. None of them needs a display.
TEST(ProgramExit, HelpVersionAndMistakesLeaveTheKeptGame) {
  const struct {
    const char *args, *status, *out, *err; // the start of each output
  } cases[] = {{"--help", "0", "Usage: varnel [LEVEL]", ""},
               {"--version", "0", "varnel " VARNEL_VERSION, ""},
               {"hard", "2", "", "varnel: not a level: \"hard\"\nUsage: varnel [LEVEL]"},
               {"''", "2", "", "varnel: not a level"},
               {"--deal", "2", "", "varnel: --deal needs a deal number"},
               {"--deal ''", "2", "", "varnel: --deal : No deal number was given."},
               {"--deal abc", "2", "", "varnel: --deal abc: A deal number is a whole number"},
               {"--deal -1 2", "2", "", "varnel: --deal -1: A deal number is a whole number"},
               {"--deal 4294967296", "2", "", "varnel: --deal 4294967296: That is too large"}};
  char tmpl[] = "/tmp/varnel-args-XXXXXX";
  std::string dir = mkdtemp(tmpl), kept = dir + "/varnel/game";
  ASSERT_EQ(system(("mkdir -m 700 " + dir + "/varnel && echo kept > " + kept).c_str()), 0);
  for (auto c : cases) {
    EXPECT_EQ(run("cd " + dir + " && env -u DISPLAY XDG_STATE_HOME=" + dir +
                  " timeout 20 " VARNEL_PROGRAM " " + c.args + " >out 2>err </dev/null; echo $?"),
              c.status)
        << c.args;
    EXPECT_EQ(run("cat " + dir + "/out").rfind(c.out, 0), 0u) << c.args;
    EXPECT_EQ(run("cat " + dir + "/err").rfind(c.err, 0), 0u) << c.args;
    EXPECT_EQ(run("cat " + kept), "kept");
  }
  EXPECT_EQ(system(("rm -rf '" + dir + "'").c_str()), 0);
}

} // namespace
