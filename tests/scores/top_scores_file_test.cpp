// The top-scores file: reading its lines, inserting a new score, keeping
// the old file when a rewrite fails, and names that must not break a line.
#include <gtest/gtest.h>

#include <algorithm>
#include <dirent.h>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <set>
#include <sstream>
#include <string>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "top_scores.h"

namespace {

std::string file_text(const char *path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void write_file(const char *path, const std::string &text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

std::set<std::string> dir_entries(const std::string &dir) {
  std::set<std::string> names;
  DIR *d = opendir(dir.c_str());
  while (dirent *e = d ? readdir(d) : nullptr)
    if (e->d_name[0] != '.') names.insert(e->d_name);
  if (d) closedir(d);
  return names;
}

// Runs f in a child process and returns its exit status (-1 if it died).
template <class F> int in_child(F f) {
  pid_t pid = fork();
  if (pid == 0) _exit(f());
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Drops root, so that file permissions apply to the calling child; false
// when that fails.
bool become_player() {
  return geteuid() != 0 || (setgid(65534) == 0 && setuid(65534) == 0);
}

class ScoreFile : public ::testing::Test {
protected:
  std::string dir, old_dir;
  void SetUp() override {
    char tmpl[] = "/tmp/varnel-scores-XXXXXX";
    dir = mkdtemp(tmpl);
    char cwd[4096];
    old_dir = getcwd(cwd, sizeof cwd);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    score_cnt = 0;
  }
  void TearDown() override {
    chmod(dir.c_str(), 0700);
    ASSERT_EQ(chdir(old_dir.c_str()), 0);
    ASSERT_EQ(system(("rm -rf '" + dir + "'").c_str()), 0);
  }
};

} // namespace

TEST_F(ScoreFile, LinesReadAsEntries) {
  write_file("top_scores.txt", "12:2:abc\n12:-3:abc\n12:0:\n12:1:a:b\n12:1:abc\r\n:2:x\n"
                               "abc:def:x\n12:9:x\n12:1\n\n 7: -2:sp ace \n");
  read_top_scores();
  struct Row {
    const char *name;
    int moves, mode;
    const char *text;
  } rows[] = {
      {"abc", 12, 2, "Hard"},   {"abc", 12, -3, "Stupid Arrow"}, {"", 12, 0, "Easy"},
      {"a:b", 12, 1, "Medium"}, {"abc", 12, 1, "Medium"},        {"x", 0, 2, "Hard"},
      {"x", 0, 0, "Easy"},      {"x", 12, 9, "Medium"},          {"sp ace ", 7, -2, "Hard Arrow"}};
  ASSERT_EQ(score_cnt, 9);
  for (int i = 0; i < 9; i++) {
    SCOPED_TRACE(i);
    EXPECT_STREQ(score_list[i].name, rows[i].name);
    EXPECT_EQ(score_list[i].moves, rows[i].moves);
    EXPECT_EQ(score_list[i].mode, rows[i].mode);
    EXPECT_STREQ(mode_text(score_list[i].mode), rows[i].text);
  }
  EXPECT_STREQ(mode_text(1), "Medium");
  EXPECT_STREQ(mode_text(-1), "Medium Arrow");
  EXPECT_STREQ(mode_text(-4), "Medium");

  char s[] = "abc\r\ndef";
  strip_lf(s);
  EXPECT_STREQ(s, "abc");
}

TEST_F(ScoreFile, MissingFileGivesAnEmptyListAndAFirstLine) {
  write_file("top_scores.txt", "3:1:x\n");
  read_top_scores();
  ASSERT_EQ(score_cnt, 1);
  ASSERT_EQ(unlink("top_scores.txt"), 0);
  read_top_scores();
  EXPECT_EQ(score_cnt, 0);
  EXPECT_EQ(write_top_scores("Ann", 2, 31, 1), 0);
  EXPECT_EQ(file_text("top_scores.txt"), "31:-2:Ann\n");
  // An Easy game in arrow mode cannot be told from one in swap mode.
  read_top_scores();
  EXPECT_EQ(write_top_scores("Bo", 0, 40, 1), 0);
  EXPECT_EQ(file_text("top_scores.txt"), "31:-2:Ann\n40:0:Bo\n");
}

TEST_F(ScoreFile, NewScoreGoesBeforeEqualMoves) {
  write_file("top_scores.txt", "5:1:a\n10:1:old\n12:1:c\n");
  read_top_scores();
  ASSERT_EQ(write_top_scores("new", 3, 10, 0), 0);
  EXPECT_EQ(file_text("top_scores.txt"), "5:1:a\n10:3:new\n10:1:old\n12:1:c\n");
  // The list is what was read; writing does not change it, and the next
  // write starts from the file, not from the list.
  EXPECT_EQ(score_cnt, 3);
  ASSERT_EQ(write_top_scores("last", 1, 99, 0), 0);
  EXPECT_EQ(file_text("top_scores.txt"), "5:1:a\n10:3:new\n10:1:old\n12:1:c\n99:1:last\n");
}

TEST_F(ScoreFile, AtMostAHundredEntriesAreRead) {
  std::string text;
  for (int i = 0; i < 150; i++)
    text += std::to_string(i) + ":1:p" + std::to_string(i) + "\n";
  write_file("top_scores.txt", text);
  read_top_scores();
  ASSERT_EQ(score_cnt, 100);
  EXPECT_STREQ(score_list[99].name, "p99");
  ASSERT_EQ(write_top_scores("late", 1, 1000, 0), 0);
  std::string written = file_text("top_scores.txt");
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 101);
  EXPECT_NE(written.find("99:1:p99\n1000:1:late\n"), std::string::npos);
  EXPECT_EQ(written.find("p100"), std::string::npos);
}

TEST_F(ScoreFile, LongLineArrivesInPieces) {
  // 254 characters, then 46 that form a line of their own.
  std::string first = "12:1:" + std::string(249, 'a');
  std::string second = "7:3:" + std::string(42, 'b');
  ASSERT_EQ(first.size() + second.size(), 300u);
  write_file("top_scores.txt", first + second + "\n");
  read_top_scores();
  ASSERT_EQ(score_cnt, 2);
  EXPECT_EQ(std::string(score_list[0].name), std::string(249, 'a'));
  EXPECT_EQ(score_list[1].moves, 7);
  EXPECT_EQ(score_list[1].mode, 3);
  EXPECT_EQ(std::string(score_list[1].name), std::string(42, 'b'));
}

// What goes into the file reads back as the same single entries.
TEST_F(ScoreFile, NamesCannotBreakALine) {
  ASSERT_EQ(write_top_scores("two\r\nlines:here", 1, 8, 0), 0);
  read_top_scores();
  ASSERT_EQ(score_cnt, 1);
  EXPECT_STREQ(score_list[0].name, "two  lines:here");

  std::string ascii(400, 'n');
  std::string e_acute; // two bytes each
  for (int i = 0; i < 200; i++)
    e_acute += "\xC3\xA9";
  std::string euro; // three bytes each
  for (int i = 0; i < 130; i++)
    euro += "\xE2\x82\xAC";
  ASSERT_EQ(write_top_scores(ascii.c_str(), 1, 9, 0), 0);
  read_top_scores();
  ASSERT_EQ(write_top_scores(e_acute.c_str(), 3, 10, 1), 0);
  read_top_scores();
  ASSERT_EQ(write_top_scores(euro.c_str(), 2, 11, 0), 0);
  read_top_scores();
  ASSERT_EQ(score_cnt, 4);
  std::string text = file_text("top_scores.txt");
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line))
    EXPECT_LE(line.size() + 1, 254u) << line.substr(0, 12);
  const std::string *names[3] = {&ascii, &e_acute, &euro};
  for (int i = 1; i < 4; i++) {
    std::string got = score_list[i].name;
    EXPECT_EQ(names[i - 1]->compare(0, got.size(), got), 0) << "not a prefix";
    EXPECT_GT(got.size(), 240u);
    // Cut between characters: the last byte is not a lead byte and the
    // length is a whole number of characters.
    size_t char_size = i == 1 ? 1 : i == 2 ? 2 : 3;
    EXPECT_EQ(got.size() % char_size, 0u) << "entry " << i;
  }
  EXPECT_EQ(score_list[2].mode, -3);

  char out[256];
  clean_score_name("a: b", 1, 1, out);
  EXPECT_STREQ(out, "a: b");
  // A Ctrl+M typed after a name was stored in it.
  clean_score_name("\tAnn\x1b\xC2\x85Lee\r", 1, 1, out);
  EXPECT_STREQ(out, "Ann  Lee");
}

// A rewrite that cannot finish leaves the old file as it was, without a
// temporary file beside it.
TEST_F(ScoreFile, FailedRewriteKeepsTheOldFile) {
  std::string old;
  for (int i = 0; i < 20; i++)
    old += std::to_string(i) + ":2:player number " + std::to_string(i) + "\n";
  write_file("top_scores.txt", old);
  ASSERT_GT(old.size(), 200u);

  // The file may grow to 100 bytes only.
  int rc = in_child([] {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {100, 100};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 10;
    read_top_scores();
    return write_top_scores("Ann", 1, 5, 0) == 0 ? 0 : 3;
  });
  EXPECT_EQ(rc, 3);
  EXPECT_EQ(file_text("top_scores.txt"), old);
  EXPECT_EQ(dir_entries(dir), std::set<std::string>{"top_scores.txt"});

  // A directory where no file can be created, and a file that cannot be
  // written in place either.
  ASSERT_EQ(chmod("top_scores.txt", 0444), 0);
  ASSERT_EQ(chmod(dir.c_str(), 0555), 0);
  rc = in_child([] {
    if (!become_player()) return 10;
    read_top_scores();
    return write_top_scores("Ann", 1, 5, 0) == 0 ? 0 : 3;
  });
  EXPECT_EQ(rc, 3);
  EXPECT_EQ(file_text("top_scores.txt"), old);
  EXPECT_EQ(dir_entries(dir), std::set<std::string>{"top_scores.txt"});

  // The same rewrite where it can succeed.
  ASSERT_EQ(chmod(dir.c_str(), 0700), 0);
  ASSERT_EQ(chmod("top_scores.txt", 0644), 0);
  read_top_scores();
  ASSERT_EQ(write_top_scores("Ann", 1, 5, 0), 0);
  std::string now = file_text("top_scores.txt");
  EXPECT_NE(now.find("4:2:player number 4\n5:1:Ann\n5:2:player"), std::string::npos);
}

// A link keeps pointing at the rewritten file, which keeps its permissions
// (the set-id bits were kept too); a writable file in a directory where no
// new file can be made is rewritten in place, as it always was.
TEST_F(ScoreFile, LinkedOrReadOnlyDirectoryFileIsUpdated) {
  ASSERT_EQ(mkdir("shared", 0755), 0);
  write_file("shared/scores", "5:1:a\n");
  ASSERT_EQ(chmod("shared/scores", 06750), 0);
  ASSERT_EQ(symlink("shared/scores", "top_scores.txt"), 0);
  ASSERT_EQ(write_top_scores("Ann", 1, 7, 0), 0);
  struct stat st;
  ASSERT_EQ(lstat("top_scores.txt", &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(file_text("shared/scores"), "5:1:a\n7:1:Ann\n");
  ASSERT_EQ(stat("shared/scores", &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0750u);
  EXPECT_EQ(dir_entries(dir + "/shared"), std::set<std::string>{"scores"});

  ASSERT_EQ(unlink("top_scores.txt"), 0);
  write_file("top_scores.txt", "5:1:a\n");
  ASSERT_EQ(chmod("top_scores.txt", 0666), 0);
  struct stat before;
  ASSERT_EQ(stat("top_scores.txt", &before), 0);
  ASSERT_EQ(chmod(dir.c_str(), 0555), 0);
  // Without room to grow, the old text stays whole (a full disk cut its end).
  int rc = in_child([] {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {8, 8};
    if (!become_player() || setrlimit(RLIMIT_FSIZE, &limit) != 0) return 10;
    return write_top_scores("Bo", 1, 3, 0) == 0 ? 0 : 3;
  });
  EXPECT_EQ(rc, 3);
  EXPECT_EQ(file_text("top_scores.txt"), "5:1:a\n");
  rc = in_child([] {
    if (!become_player()) return 10;
    return write_top_scores("Bo", 1, 3, 0) == 0 ? 0 : 3;
  });
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(file_text("top_scores.txt"), "3:1:Bo\n5:1:a\n");
  ASSERT_EQ(stat("top_scores.txt", &st), 0);
  EXPECT_EQ(st.st_ino, before.st_ino);
}

// Under a size limit below the file's size, a rewrite in place stopped
// after its first KiB: a new head on the old tail.
TEST_F(ScoreFile, SizeLimitLeavesTheFileWhole) {
  std::string old;
  for (int i = 0; i < 150; i++)
    old += std::to_string(i) + ":1:" + std::string(60, 'a' + i % 26) + "\n";
  write_file("top_scores.txt", old);
  ASSERT_EQ(chmod("top_scores.txt", 0666), 0);
  ASSERT_EQ(chmod(dir.c_str(), 0555), 0); // no copy: the file is rewritten in place
  int rc = in_child([] {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {1024, 1024};
    if (!become_player() || setrlimit(RLIMIT_FSIZE, &limit) != 0) return 10;
    return (int)write_top_scores("Bo", 1, 3, 0);
  });
  EXPECT_EQ(rc, SCORE_TOO_LARGE);
  EXPECT_EQ(file_text("top_scores.txt"), old);
}

// A reader saw a rewrite in place half done: it waits for the writer's lock.
TEST_F(ScoreFile, ReadingWaitsForTheWritersLock) {
  write_file("top_scores.txt", "5:1:a\n6:1");
  int held = open("top_scores.txt", O_WRONLY | O_CLOEXEC);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
  pid_t reader = fork();
  if (reader == 0) {
    close(held); // the lock is the parent's alone
    read_top_scores();
    _exit(score_cnt);
  }
  usleep(300 * 1000);
  EXPECT_EQ(pwrite(held, ":b\n", 3, 9), 3);
  close(held);
  int status = 0;
  waitpid(reader, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
}

// A link that another user planted in a shared directory took the win into
// a file of the player's: it was followed past the kernel's guard for links
// in sticky directories, and in a directory without one; and so was a link
// planted in place of a directory on the way of the player's own link.
TEST_F(ScoreFile, AnotherUsersLinkIsNoScoresFile) {
  if (geteuid() != 0) GTEST_SKIP() << "playing as other users needs root";
  const struct {
    mode_t shared;
    const char *own_link, *planted, *planted_to; // own_link: the player's top_scores.txt
  } cases[] = {
      {01777, nullptr, "top_scores.txt", "mine/top_scores.txt"},
      {0777, nullptr, "top_scores.txt", "mine/top_scores.txt"},
      {0777, "shared/top_scores.txt", "shared", "mine"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(std::string(c.planted) + " " + std::to_string(c.shared));
    ASSERT_EQ(chmod(dir.c_str(), c.shared), 0);
    ASSERT_EQ(mkdir("mine", 0700), 0);
    write_file("mine/top_scores.txt", "1:2:private\n");
    write_file("mine/top_scores.txt.tmp", "");
    ASSERT_EQ(system("chown -R 64102:64102 mine"), 0);
    if (c.own_link) {
      ASSERT_EQ(symlink(c.own_link, "top_scores.txt") | lchown("top_scores.txt", 64102, 64102), 0);
    }
    ASSERT_EQ(symlink(c.planted_to, c.planted), 0);
    ASSERT_EQ(lchown(c.planted, 64101, 64101), 0);
    int rc = in_child([] {
      if (setgid(64102) != 0 || setuid(64102) != 0) return 10;
      read_top_scores();
      return score_cnt != 0 ? 40 : (int)write_top_scores("Bo", 1, 7, 0);
    });
    EXPECT_EQ(rc, SCORE_NOT_A_FILE);
    EXPECT_EQ(file_text("mine/top_scores.txt"), "1:2:private\n");
    EXPECT_EQ(dir_entries(dir + "/mine"),
              (std::set<std::string>{"top_scores.txt", "top_scores.txt.tmp"}));
    ASSERT_EQ(system("rm -rf mine shared top_scores.txt"), 0);
  }
}

// Players who share a directory keep each other's wins: by the group's
// rights on the file (a new copy took the first winner's group and locked
// the others out), and in a sticky directory that refuses to replace
// another player's file (the win was lost).
TEST_F(ScoreFile, SharedDirectoryKeepsEveryPlayersWin) {
  if (geteuid() != 0) GTEST_SKIP() << "playing as other users needs root";
  const gid_t players = 64100; // ids that no account uses
  auto win_as = [](uid_t player, const char *name, int moves) {
    return in_child([=] {
      gid_t groups[1] = {players};
      if (setgroups(1, groups) != 0 || setgid(player) != 0 || setuid(player) != 0) return 10;
      return write_top_scores(name, 1, moves, 0) == 0 ? 0 : 3;
    });
  };
  write_file("top_scores.txt", "5:1:a\n");
  ASSERT_EQ(chown(dir.c_str(), 0, players), 0);
  ASSERT_EQ(chmod(dir.c_str(), 0775), 0);
  ASSERT_EQ(chown("top_scores.txt", 0, players), 0);
  ASSERT_EQ(chmod("top_scores.txt", 0664), 0);
  EXPECT_EQ(win_as(64101, "Ann", 6), 0);
  EXPECT_EQ(win_as(64102, "Bo", 7), 0);
  // Sticky: another player's file may be written, not replaced.
  ASSERT_EQ(chmod(dir.c_str(), 01777), 0);
  ASSERT_EQ(chown("top_scores.txt", 64101, players), 0);
  ASSERT_EQ(chmod("top_scores.txt", 0666), 0);
  EXPECT_EQ(win_as(64102, "Cy", 8), 0);
  EXPECT_EQ(file_text("top_scores.txt"), "5:1:a\n6:1:Ann\n7:1:Bo\n8:1:Cy\n");
  EXPECT_EQ(dir_entries(dir), std::set<std::string>{"top_scores.txt"});
}

// A file that exists but cannot be read keeps its scores: the new one is
// lost instead of all the old ones.
TEST_F(ScoreFile, UnreadableFileIsNotReplaced) {
  write_file("top_scores.txt", "5:1:a\n6:1:b\n");
  ASSERT_EQ(chmod("top_scores.txt", 0), 0);
  ASSERT_EQ(chmod(dir.c_str(), 0777), 0);
  int rc = in_child([] {
    if (!become_player()) return 10;
    read_top_scores();
    if (score_cnt != 0) return 4;
    return write_top_scores("Ann", 1, 7, 0) == 0 ? 0 : 3;
  });
  EXPECT_EQ(rc, 3);
  EXPECT_EQ(dir_entries(dir), std::set<std::string>{"top_scores.txt"});

  // So does a file the player made read-only, in a directory the player may
  // write: it is neither rewritten nor replaced by a new copy. (The text of
  // both is checked here, where a test run without root can read it.)
  ASSERT_EQ(chmod("top_scores.txt", 0444), 0);
  rc = in_child([] {
    return !become_player() ? 10 : write_top_scores("Ann", 1, 7, 0) == 0 ? 0 : 3;
  });
  EXPECT_EQ(rc, 3);
  EXPECT_EQ(file_text("top_scores.txt"), "5:1:a\n6:1:b\n");
  EXPECT_EQ(dir_entries(dir), std::set<std::string>{"top_scores.txt"});
}

// A lock that another process holds for as long as it likes delays a win
// only briefly: then the score is written without it.
TEST_F(ScoreFile, HeldLockDelaysTheWriteOnlyBriefly) {
  write_file("top_scores.txt", "5:1:a\n");
  int held = open("top_scores.txt", O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
  int rc = in_child([] {
    alarm(5); // a wait much past 2 s fails the case instead of hanging it
    return write_top_scores("Ann", 1, 7, 0) == 0 ? 0 : 3;
  });
  close(held);
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(file_text("top_scores.txt"), "5:1:a\n7:1:Ann\n");
  EXPECT_EQ(dir_entries(dir), std::set<std::string>{"top_scores.txt"});
}

// A rewrite starts from the file as it is now, not from the list read at
// start-up, and two copies of the game writing at once take turns.
TEST_F(ScoreFile, SecondCopyLosesNothing) {
  write_file("top_scores.txt", "5:1:a\n");
  read_top_scores();
  write_file("top_scores.txt", "5:1:a\n8:2:other copy\n");
  // What an interrupted rewrite leaves behind is reused, not added to.
  write_file("top_scores.txt.tmp", "5:1:");
  ASSERT_EQ(write_top_scores("me", 1, 6, 0), 0);
  EXPECT_EQ(file_text("top_scores.txt"), "5:1:a\n6:1:me\n8:2:other copy\n");
  EXPECT_EQ(dir_entries(dir), std::set<std::string>{"top_scores.txt"});

  const int wins = 40;
  pid_t copies[2];
  for (int c = 0; c < 2; c++) {
    copies[c] = fork();
    if (copies[c] == 0) {
      for (int i = 0; i < wins; i++) {
        std::string name = "copy" + std::to_string(c) + " win" + std::to_string(i);
        if (write_top_scores(name.c_str(), 1, i, 0) != 0) _exit(3);
      }
      _exit(0);
    }
  }
  for (pid_t copy : copies) {
    int status = 0;
    waitpid(copy, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::string text = file_text("top_scores.txt");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3 + 2 * wins);
  for (int c = 0; c < 2; c++)
    for (int i = 0; i < wins; i++) {
      std::string line =
          std::to_string(i) + ":1:copy" + std::to_string(c) + " win" + std::to_string(i) + "\n";
      EXPECT_NE(text.find(line), std::string::npos) << line;
    }
  EXPECT_EQ(dir_entries(dir), std::set<std::string>{"top_scores.txt"});
}

// Bytes read so far by this process.
static long bytes_read() {
  std::ifstream io("/proc/self/io");
  std::string key;
  long value = -1;
  while (io >> key >> value)
    if (key == "rchar:") return value;
  return -1;
}

// Whatever else sits under the file's name is no file: it neither blocks
// nor loops the start, and it is never written through or replaced. A full
// list ends the reading.
TEST_F(ScoreFile, OnlyARegularFileIsReadOrWritten) {
  ASSERT_EQ(chmod(dir.c_str(), 0777), 0);
  ASSERT_EQ(mkfifo("top_scores.txt", 0666), 0);
  for (const char *device : {"", "/dev/zero", "/dev/null"}) {
    SCOPED_TRACE(device);
    if (device[0]) {
      ASSERT_EQ(unlink("top_scores.txt"), 0);
      ASSERT_EQ(symlink(device, "top_scores.txt"), 0);
    }
    int rc = in_child([] {
      alarm(60); // a read that never ends fails the case instead of hanging it
      if (!become_player()) return 10;
      read_top_scores();
      if (score_cnt != 0) return 4;
      return write_top_scores("Ann", 1, 7, 0) == 0 ? 0 : 3;
    });
    EXPECT_EQ(rc, 3);
    struct stat st;
    ASSERT_EQ(lstat("top_scores.txt", &st), 0);
    EXPECT_TRUE(device[0] ? S_ISLNK(st.st_mode) : S_ISFIFO(st.st_mode));
    EXPECT_EQ(dir_entries(dir), std::set<std::string>{"top_scores.txt"});
  }

  ASSERT_EQ(unlink("top_scores.txt"), 0);
  std::string text;
  for (int i = 0; i < 100; i++)
    text += std::to_string(i) + ":1:p\n";
  text += std::string(4 << 20, 'x');
  write_file("top_scores.txt", text);
  long before = bytes_read();
  read_top_scores();
  EXPECT_EQ(score_cnt, 100);
  EXPECT_LT(bytes_read() - before, 1 << 20) << "read on after the list was full";
}
