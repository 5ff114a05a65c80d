// Any bytes as top_scores.txt: reading must not fail, and a rewrite with a
// new score must keep every entry that was read, in order, with the new one
// before the first entry of as many moves or more (within the 100 entries).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "top_scores.h"

static void enter_scratch_dir() {
  static bool done = false;
  if (done) return;
  // tmpfs where there is one: every rewrite syncs the file.
  char shm[] = "/dev/shm/varnel-fuzz-XXXXXX";
  char tmp[] = "/tmp/varnel-fuzz-XXXXXX";
  char *dir = mkdtemp(shm);
  if (!dir) dir = mkdtemp(tmp);
  if (!dir || chdir(dir) != 0) abort();
  static std::string made = dir;
  atexit([] { std::filesystem::remove_all(made); }); // a run leaves no folder behind
  done = true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  enter_scratch_dir();
  FILE *f = fopen("top_scores.txt", "wb");
  if (!f) abort();
  fwrite(data, 1, size, f);
  fclose(f);
  read_top_scores();
  std::vector<ScoreEntry> before(score_list, score_list + score_cnt);
  const int moves = 50;
  if (write_top_scores("new player", 2, moves, 1) != 0) abort();
  read_top_scores();
  std::vector<ScoreEntry> expected;
  bool placed = false;
  for (const ScoreEntry &e : before) {
    if (!placed && e.moves >= moves) {
      expected.push_back(ScoreEntry{"new player", moves, -2});
      placed = true;
    }
    expected.push_back(e);
  }
  if (!placed) expected.push_back(ScoreEntry{"new player", moves, -2});
  if (expected.size() > MAX_SCORES) expected.resize(MAX_SCORES);
  if ((size_t)score_cnt != expected.size()) abort();
  for (int i = 0; i < score_cnt; i++) {
    const ScoreEntry &got = score_list[i], &want = expected[i];
    if (got.moves != want.moves || got.mode != want.mode) abort();
    // A name comes back as it was made safe to store.
    char clean[256];
    clean_score_name(want.name, want.moves, want.mode, clean);
    if (strcmp(got.name, clean) != 0) abort();
  }
  return 0;
}
