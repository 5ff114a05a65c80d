// The records file: its text read strictly, the file kept whole through
// hostile contents and places, results merged with another copy's.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "kept_files.h"
#include "records_file.h"
#include "records.h"

namespace {

RecordResult result(RecordEvent event, int moves = 0, bool counted = false) {
  RecordResult r;
  r.event = event;
  r.counted = counted;
  r.page = 3;
  r.win = {moves, 1765198211LL + moves, moves % 2 ? -1 : 77};
  return r;
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
  Records other; // another copy's: a game played and won, one lost, one won
  for (const RecordResult &r : {result(EVENT_PLAYED), result(EVENT_WON, 40, true),
                                result(EVENT_LOST), result(EVENT_WON, 31)})
    apply_result(other, r);
  std::string text = records_text(other);
  const std::vector<HostileFile> cases =
      hostile_files(file, text,
                    {
                        {"garbled", "varnel records 1\npage 9\n"},
                        {"truncated", text.substr(0, text.size() / 2)},
                        {"oversized", text + std::string(9000, '\n')},
                    });
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

} // namespace
