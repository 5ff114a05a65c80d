// The player's records on real widgets: what counts, by each path a game
// can take, read back from the records file.
#include "play_helpers.h"

#include "board_game.h"
#include "game_tally.h"
#include "records_file.h"

#include <map>

namespace {

class Records_ : public GameTest {
protected:
  // A new game of deal 5; every name dialog is cancelled.
  NameDialog names{nullptr, 1000};
  void SetUp() override {
    GameTest::SetUp();
    board()->next_deal = 5;
    board()->Reset();
  }
  // The Medium page in swap mode, as the file holds it now.
  RecordPage medium() {
    finish_keeping_records();
    Records records;
    std::string text = file_text(records_path().c_str());
    EXPECT_TRUE(text.empty() || read_records_text(text, &records));
    return records.pages[record_page(1, false)];
  }
};

// Quit, and a new run that goes on with the kept game.
void restart(Varnel *b) {
  GameRecord kept = board_game(b, 1), back;
  keep_tally(kept, b->tally);
  ASSERT_TRUE(read_game_text(game_text(kept), &back));
  b->tally = GameTally();
  main_window->restore_game(back);
}

// What the player does, step by step, at the Medium level in swap mode.
const std::map<std::string, void (*)(Varnel *)> steps = {
    {"move", [](Varnel *b) { fill_playing(b), swap_move(b, 10, 10); }},
    {"win", [](Varnel *b) { column_ready_to_clear(b), swap_move(b, 19, 0); }},
    {"loss", [](Varnel *b) { fill_without_matches(b), b->begin_move(), b->Breed(); }},
    {"Win", [](Varnel *) { win_cb(nullptr, nullptr); }},
    {"reset", [](Varnel *) { reset_menu_cb(nullptr, nullptr); }},
    {"level", [](Varnel *) { hard_cb(nullptr, nullptr), medium_cb(nullptr, nullptr); }},
    {"mode", [](Varnel *) { arrow_mode_cb(nullptr, nullptr), arrow_mode_cb(nullptr, nullptr); }},
    {"deal", [](Varnel *) { todays_deal_cb(nullptr, nullptr); }},
    {"undo", [](Varnel *) { undo_cb(nullptr, nullptr); }},
    {"restart", restart},
};

TEST_F(Records_, WhatCountsByEachPathAGameTakes) {
  // The steps, and then: played, won, the streak and the longest.
  const char *const cases[][2] = {
      {"reset", "0 0 0 0"},
      {"move reset", "1 0 0 0"},
      {"win", "1 1 1 1"},
      {"win reset win win", "2 2 2 2"},
      {"win reset move loss", "2 1 0 1"},
      {"win reset move level", "2 1 0 1"},
      {"win reset move mode", "2 1 0 1"},
      {"win reset move deal", "2 1 0 1"},
      {"win reset Win", "2 1 0 1"},
      {"win reset move loss undo win reset", "2 1 0 1"},
      {"move move undo undo reset", "1 0 0 0"},
      {"move restart move win", "1 1 1 1"},
      {"move restart reset", "1 0 0 0"},
      {"move loss undo restart win", "1 0 0 0"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c[0]);
    RecordResult reset;
    reset.event = EVENT_RESET;
    record_result(reset);
    reset_menu_cb(nullptr, nullptr);
    std::istringstream path(c[0]);
    for (std::string step; path >> step;)
      steps.at(step)(board());
    RecordPage page = medium();
    EXPECT_EQ(std::to_string(page.played) + " " + std::to_string(page.won) + " " +
                  std::to_string(page.streak) + " " + std::to_string(page.longest),
              c[1]);
  }
}

} // namespace
