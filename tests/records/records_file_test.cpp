// The records file: its text read strictly, the file kept whole through
// hostile contents and places, results merged with another copy's, and
// the command lines that are refused, with the kept game untouched.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "records_file.h"

namespace {

std::string read_text(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

RecordResult result(RecordEvent event, int moves = 0, bool counted = false) {
  RecordResult r;
  r.event = event;
  r.counted = counted;
  r.page = 3;
  r.win = {moves, 1765198211LL + moves, moves % 2 ? -1 : 77};
  return r;
}

// A game's first move and its win; a loss and a win of games not counted
// before.
Records three_results() {
  Records records;
  for (const RecordResult &r : {result(EVENT_PLAYED), result(EVENT_WON, 40, true),
                                result(EVENT_LOST), result(EVENT_WON, 31)})
    apply_result(records, r);
  return records;
}

TEST(RecordsText, WrittenIsReadBackAndAnythingElseRefused) {
  std::string text = records_text(three_results());
  Records read;
  ASSERT_TRUE(read_records_text(text, &read));
  EXPECT_EQ(records_text(read), text);
  const RecordPage &page = read.pages[3];
  EXPECT_EQ(page.played, 3);
  EXPECT_EQ(page.won, 2);
  EXPECT_EQ(page.streak, 1);
  EXPECT_EQ(page.best[0].moves, 31);
  auto replaced = [&](const std::string &from, const std::string &to) {
    std::string t = text;
    return t.replace(t.find(from), from.size(), to);
  };
  for (const std::string &bad :
       {std::string(""), text.substr(0, text.size() - 1), text + "\n", replaced("won 2", "won 4"),
        replaced("page 4", "page 5"), replaced("win 31", "win -31"), replaced("win 40", "win 30"),
        replaced("played 3", "played 03x"), replaced("records 1", "records 2"),
        replaced("1765198242 -", "1765198242 4294967296"), replaced("end\n", "")}) {
    Records untouched;
    EXPECT_FALSE(read_records_text(bad, &untouched)) << bad;
    EXPECT_EQ(untouched.pages[3].played, 0);
  }
}

// Anything but the player's own records under the name gives empty records
// and is moved aside, never read through a link or waited on; the next
// result writes a whole new file. Another copy's results are kept.
TEST(RecordsFile, HostileFilesAreMovedAsideAndResultsMerged) {
  char tmpl[] = "/tmp/varnel-data-XXXXXX";
  std::string dir = mkdtemp(tmpl), file = dir + "/varnel/records", bad = file + ".bad";
  setenv("XDG_DATA_HOME", dir.c_str(), 1);
  ASSERT_EQ(records_path(), file);
  record_result(result(EVENT_PLAYED));
  finish_keeping_records();
  std::string text = records_text(three_results());
  const struct {
    std::string what;
    std::function<bool()> make;
  } cases[] = {
      {"missing", [] { return true; }},
      {"garbled", [&] { return !!(std::ofstream(file) << "varnel records 1\npage 9\n"); }},
      {"truncated", [&] { return !!(std::ofstream(file) << text.substr(0, text.size() / 2)); }},
      {"oversized", [&] { return !!(std::ofstream(file) << text << std::string(9000, '\n')); }},
      {"another user's",
       [&] { return (std::ofstream(file) << text) && chown(file.c_str(), 64101, 64101) == 0; }},
      {"FIFO", [&] { return mkfifo(file.c_str(), 0600) == 0; }},
      {"directory", [&] { return mkdir(file.c_str(), 0700) == 0; }},
      {"link to a device", [&] { return symlink("/dev/zero", file.c_str()) == 0; }},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(file);
    std::filesystem::remove_all(bad);
    if (!c.make()) continue; // another user's file needs root
    EXPECT_EQ(current_records().pages[3].played, 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(file)));
    EXPECT_EQ(std::filesystem::exists(std::filesystem::symlink_status(bad)), c.what != "missing");
    record_result(result(EVENT_PLAYED));
    finish_keeping_records();
    Records read;
    EXPECT_TRUE(read_records_text(read_text(file), &read));
    EXPECT_EQ(read.pages[3].played, 1);
  }
  // Another copy of the game wrote its results meanwhile: both are kept.
  std::ofstream(file) << text;
  record_result(result(EVENT_WON, 12));
  finish_keeping_records();
  Records merged;
  ASSERT_TRUE(read_records_text(read_text(file), &merged));
  EXPECT_EQ(merged.pages[3].played, 4);
  EXPECT_EQ(merged.pages[3].won, 3);
  EXPECT_EQ(merged.pages[3].best[0].moves, 12);
  // Where nothing can be written: one line says so, and the end waits not.
  std::ofstream(dir + "/plain") << "";
  setenv("XDG_DATA_HOME", (dir + "/plain").c_str(), 1);
  testing::internal::CaptureStderr();
  record_result(result(EVENT_PLAYED));
  finish_keeping_records();
  record_result(result(EVENT_PLAYED));
  finish_keeping_records();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "varnel: cannot keep your records in " + dir + "/plain/varnel: Not a directory\n");
  EXPECT_EQ(current_records().pages[3].played, 2); // shown until they can be written
  std::filesystem::remove_all(dir);
}

// A bad deal number on the command line: a message, status 2, and the
// kept game as it was.
TEST(DealArguments, BadNumbersAreRefusedAndTheKeptGameUntouched) {
  char tmpl[] = "/tmp/varnel-args-XXXXXX";
  std::string dir = mkdtemp(tmpl), game = dir + "/varnel/game";
  std::filesystem::create_directories(dir + "/varnel");
  std::ofstream(game) << "a kept game";
  const struct {
    const char *args, *message;
  } cases[] = {
      {"--deal", "--deal needs a deal number, from 0 to 4294967295."},
      {"--deal ''", "--deal : No deal number was given."},
      {"--deal abc", "--deal abc: A deal number is a whole number from 0 to 4294967295, "
                     "digits only."},
      {"--deal -1 2", "--deal -1: A deal number is a whole number from 0 to 4294967295, "
                      "digits only."},
      {"--deal 4294967296", "--deal 4294967296: That is too large: deal numbers go up to "
                            "4294967295."},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.args);
    std::string cmd =
        "XDG_STATE_HOME=" + dir + " " VARNEL_PROGRAM " " + c.args + " 2>" + dir + "/err </dev/null";
    int status = system(cmd.c_str());
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_EQ(read_text(dir + "/err"), "varnel: " + std::string(c.message) + "\n");
    EXPECT_EQ(read_text(game), "a kept game");
  }
  std::filesystem::remove_all(dir);
}

} // namespace
