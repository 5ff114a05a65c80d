// Shared set-up for the game's widget tests: a real main window with its
// board on the test's Xvfb display, a scratch working directory, and access
// to the real sound request queue (no player thread runs in these tests, so
// requests stay queued where the test can read them).
#pragma once

#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "kept_game.h"
#include "pa.h"
#include "records_file.h"
#include "varnel.h"

// The sound ids queued since the last clear_sounds().
inline std::vector<int> queued_sounds() {
  int n = global_wave_cnt.load();
  return std::vector<int>(global_wave_list, global_wave_list + n);
}
inline void clear_sounds() {
  global_wave_cnt.store(0);
}

// Fills the whole board with a pattern that holds no match: every cell gets
// a colour from a 4-colour rotation that never repeats four in a line or
// forms a square.
inline void fill_without_matches(Varnel *b) {
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++)
      b->Array(r, c, (r * 2 + c) % 4 + ((r / 2) % 2) * 4);
}

class GameTest : public ::testing::Test {
protected:
  std::string dir;
  std::string old_dir;

  void SetUp() override {
    char tmpl[] = "/tmp/varnel-test-XXXXXX";
    dir = mkdtemp(tmpl);
    char cwd[4096];
    old_dir = getcwd(cwd, sizeof cwd);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    // The settings a command saves stay in the test's own directory.
    setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
    setenv("XDG_STATE_HOME", (dir + "/state").c_str(), 1);
    setenv("XDG_DATA_HOME", (dir + "/data").c_str(), 1);
    game_settings = Settings();
    set_sound_on(true);
    global_win = 0;
    main_window = new MainWin(1, 800, 830, "Varnel test");
    Fl::check();
    clear_sounds();
  }

  void TearDown() override {
    if (main_window) {
      MainWin *w = main_window;
      main_window = nullptr;
      w->hide();
      delete w;
    }
    Fl::check();
    clear_sounds();
    // The writer threads may still be writing into the directory.
    finish_keeping_game();
    finish_keeping_records();
    if (chdir(old_dir.c_str()) != 0) ADD_FAILURE() << "cannot return to " << old_dir;
    std::string rm = "rm -rf '" + dir + "'";
    if (system(rm.c_str()) != 0) ADD_FAILURE() << "cannot remove " << dir;
  }

  Varnel *board() { return main_window->game; }
};
