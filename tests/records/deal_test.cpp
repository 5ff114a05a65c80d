// Deal numbers on the real board: three deals pinned cell by cell, the
// command line's deal and Play Deal... alike, a bad number refused in the
// dialog, and a kept game that breeds on after a restart as without one.
#include "play_helpers.h"

#include "board_undo.h"
#include "deal.h"
#include "deal_args.h"
#include "deal_commands.h"
#include "game_tally.h"

namespace {

class Deal : public GameTest {};

// The board's text as kept: its cells and arrows, then the generator's state.
std::string board_text(Varnel *b) {
  GameRecord game = board_game(b, main_window->difficulty);
  keep_tally(game, b->tally);
  std::string text = game_text(game);
  size_t board = text.find("moves 0\n") + 8;
  return text.substr(board, 20 * 41) + text.substr(text.find("rng "));
}

void deal(Varnel *b, long number, int level, bool arrows) {
  main_window->difficulty = level;
  b->arrow_mode = arrows;
  start_deal(b, number);
}

// Any change to the draws of a deal (its order, its count, the generator)
// shows here: these boards are what these numbers deal, now and later.
TEST_F(Deal, ThreeDealsPinnedCellByCell) {
  const struct {
    long number;
    int level;
    bool arrows;
    const char *text;
  } deals[] = {
      {1765198211, 1, false,
       ".4.5.0.5.5.3.1.3.5.5.6.5.0.0.6.2.4.6.0.4\n"
       "c5d0a6d2.2c4a2.2.6.1.0.5a3a2e1b7.5.7.5.5\n"
       "d4a0e2b7.1c4b3.2.7.6a1d2c0b3b7e2.5.0.5.5\n"
       "c7a2b3e5.2d5c5.2.7.7a7b0a6c4e7b3.5.1.3.5\n"
       "e5b6c0d4.6d1d4.2.3.4e1a4e6c6e3c3.5.0.0.5\n"
       "d0d6a2c2d2a5c6.4d7b1a2c1e4e5b1b4.2.7.5.6\n"
       "a3d3b4b4b0d5e4c2e6a6b3b6d1d1a6c1.6.0a2c7\n"
       "b1c4c5d6a2d4d4b5e2e3c4e7a2a3d3a3.3.7b6e3\n"
       "a3d5d0e7d1c5c5d0b4c0c2e4b7c7c3b0b5e4e2b4\n"
       "c4d6a7e1b3d0d7a7c1a6b4d0e1e1c6a2d3c3b3c6\n"
       "c4d2e6a1c6a0e2e2a3e0d5a4a6a3e0b3c6b7c6d3\n"
       "c0b1e6a7d4a5b7b4c0a3d4d3e0c2a6c1e5e5d0b6\n"
       "a2a5e6e4c1d7e6c0a7c6c5b4a7b4e4a7d6d1c5e2\n"
       "b7d2d3d1b7e5d0a4c4c4d2c3e3d6c1e0c3a6d7b4\n"
       "e2b7c1a2e5d7a0c2d3c1b2c5c2e6b5a6c5d1e2c5\n"
       "b5e5a4b6d0e6a7c5c0b4b5d1b6d5d4e4d0e3b5d4\n"
       "d1d5c3e7a2e3e4d4a4c3d1b3d0d7c3c0a1c5d3c3\n"
       "a4d0c5e3b1c3d7c4d0c1a7c2a5e0c0a3b6d4c7c0\n"
       "c6a3d0c2b6c2e2c6a4a1e3b3d7a3a0b1e5c1e5a1\n"
       "e6c5a7b7e3b5b4e3c2a5c2c6e6c7a1b0d7a7d1a0\n"
       "rng 60138 2758 10093\n"
       "end\n"},
      {20261208, 3, false,
       ".6.5.1.5.4.2.1.1.0.2.0.0.7.3.3.1.4.0.3.7\n"
       "k4i2c0i4g3e6c6c7b5e5b1a7l0f5f4c2g4a2f4l1\n"
       "g4d2a7h6f5j5k2k6h5i0c7k1a4i7g6e1g7d4g1b2\n"
       "g3d7l7j1i3i2d5j2i4a1l4c2g3l0k6b7k2g2c5d7\n"
       "e4l1k1c5e1d1i3d1g7c0h3d6e7b1k3k5d0d1h7l0\n"
       "g5c4b5i0c4b0f4c6k0a5e6j2l1c4e2h5a5c4l1a1\n"
       "i1h2h6a4h3a2g2j6a2i7j0d5b2h3d7i4i2g0c6c1\n"
       "b7e2j4g4e5d4d0j4d0l1a3h1e0f1l4h0e7a4k7c4\n"
       "k5d1g6h3i0g2b2h4a5b6e0c5a4b5g3a4k3g2k2h3\n"
       "h2c0j5e7b5d1e1g6i3j1a3i7g4h6e5h1f6d4d2f7\n"
       "d2a1h3l6i2c7c4j7f5c2e4k3h4j5i1b0k0g7d0k3\n"
       "d6b2f6k6d3l7g3l5h6e2g1f1h4i6c7a7b3l1b0f3\n"
       "j0d2j4j6f1l6f0i5j1e7c6b4g3k5l1l2f7c6a3f5\n"
       "b1e0g1j2c2j0b4i2c1k0k5g6f7i5c1e3l6k6f1i6\n"
       "c7a5c4d3e0a1g5d3b4a7i2k2k7h1c2f6j4j4c5j3\n"
       "l3i5g3f0a1c2i0e0h5l7e5d3k0c3e2j0g5h2i6e5\n"
       "e2i6f1a1c5e0a0a6i1l2i2f3a6e4d6b4i6d2j4i6\n"
       "d0j3c5c4h5a7a0j3c1d5e7f6k2g7k6g0j3e4g7k1\n"
       "b1f5i6h1i0k3a5f0c7i2l6j2d0k1j3a7e3g1l1b0\n"
       "c2i4k5b2a0f4i4a7l2d6j7e0a5b4f0l1f6b6b4a2\n"
       "rng 60138 38219 2996\n"
       "end\n"},
      {7, 2, true,
       ".2.5.2.1.3.2.1.5.0.0.6.7.4.7.2.3.0.0.2.3\n"
       "c4.1.0.6.1.2.5f1a0a5g2h7e0h2c2d4a5a2c6d4\n"
       "e6f6c6b5d0c5b0b0a0f4c1h4a1c2c5e6f5c2g0e0\n"
       "g0g1g4f3a5f2a6a1a1e2b5e7b5c3f3g5f7c1a1a2\n"
       "a0b5e1d6f4c7g0b7b0c0f4h6f0d6d1f2h0b5b4c0\n"
       "a1f7b6g1e5h2a1h6a4a5e4g1a2g2b1c5a5f3e7a0\n"
       "b3h0g7b0f6c5b0g3e0f2e3b2c0c2b3f6f0d2h2a4\n"
       "d6a2h5a7g7f5a1d5a7c1d1c0a5c2d3g4a6c4c3e1\n"
       "g3c6f1h4h3f6b4f4h7b5b6a5f6c3d5e2g0e5d7b4\n"
       "d4g5b4e3d6g5e1e1h3f3g2f3g2d3f6c3a7f1h4e3\n"
       "e1f4e7d1g5f4b4b7d0d2c6d3c6d1g7d3h4b1e4d2\n"
       "b6e1h7b1f1e2e1h0a2c7g5d7g1b6h6d3e3b6e0c3\n"
       "g0b6h1b2b5c2b1a3c2h2f5h1b6g2g7d5d2g7a5d0\n"
       "a1g7b2c4f2c4b0d2c2c7f4b1g3c6h5f6c0h2f5a6\n"
       "b2h7c6e0c0e0a5c3c6h1e0b3d3g4f1g7a0c1f3g0\n"
       "c1h1g2a7a5a2f1d5g2b4a3d4d5e2b7h1a2b6d7a0\n"
       "b3b2c2h2f2c2b2f4c0e7d7e4f0c2h5b4c0g2h1a3\n"
       "d0b1a3g1b4c0f0e1a1h5h2e6a7c2f7e4a5c7b2d5\n"
       "a5b2d1b5e6a6a4b6b5f4c0g1h2c6h5e4f0h5c4f1\n"
       "f4c6b3f0g4g3e2g4f0e7a1b7c7g7f1e0a1f5e4b2\n"
       "rng 60138 63754 13904\n"
       "end\n"},
  };
  for (const auto &d : deals) {
    SCOPED_TRACE(d.number);
    deal(board(), d.number, d.level, d.arrows);
    EXPECT_EQ(board_text(board()), d.text);
  }
}

// The labels of a dialog's boxes: its message.
std::string dialog_message() {
  Fl_Input *input = nullptr;
  std::string text;
  if (Fl_Window *dialog = find_dialog(&input))
    for (int i = 0; i < dialog->children(); i++)
      if (dialog->child(i)->label()) text += dialog->child(i)->label();
  return text;
}

TEST_F(Deal, TheCommandLineAndPlayDealDealAlikeAndABadNumberIsAskedAgain) {
  char *argv[] = {(char *)"varnel", (char *)"--deal", (char *)"4242", (char *)"3", nullptr};
  int argc = 4;
  DealArgs args = take_deal_args(argc, argv);
  ASSERT_EQ(args.error, "");
  ASSERT_EQ(argc, 2);
  // As main starts the game: the level argument after the number.
  deal(board(), args.deal, parse_level(argv[1]), false);
  std::string from_command_line = board_text(board());
  main_window->keep_game_between_runs();
  start_deal(board(), 1);
  {
    NameDialog cancel(nullptr);
    play_deal_cb(nullptr, nullptr);
  }
  EXPECT_EQ(board()->tally.deal, 1);
  std::string second_prompt;
  NameDialog answer("42x", 2);
  answer.instead = [&] {
    if (answer.answered != 2) return;
    second_prompt = dialog_message();
    answer.text = " 4242 ";
  };
  play_deal_cb(nullptr, nullptr);
  EXPECT_EQ(answer.answered, 2);
  EXPECT_NE(second_prompt.find("digits only"), std::string::npos) << second_prompt;
  EXPECT_EQ(board_text(board()), from_command_line);
  EXPECT_STREQ(main_window->label(), "Varnel — deal 4242");
}

// Two moves after a deal, the second once as it comes and once after the
// game has been kept and put back in a run whose clock seeded otherwise.
TEST_F(Deal, AKeptGameBreedsOnAsWithoutARestart) {
  Varnel *b = board();
  deal(b, DEAL_MAX, 1, false);
  left_click(b, 10, 10);
  left_click(b, 10, 11);
  GameRecord kept = board_game(b, 1);
  keep_tally(kept, b->tally);
  std::string text = game_text(kept), after[2];
  for (std::string &board_after : after) {
    for (int c = 0; c < BOARD_COLS; c++)
      b->Array(0, c, CELL_EMPTY);
    left_click(b, 12, 3);
    left_click(b, 12, 4);
    board_after = board_text(b);
    GameRecord back;
    ASSERT_TRUE(read_game_text(text, &back));
    srand48(1);
    main_window->restore_game(back);
  }
  EXPECT_EQ(after[0], after[1]);
  EXPECT_EQ(b->tally.deal, DEAL_MAX);
  // A game kept by the older version loads, its deal unknown.
  GameRecord older;
  text.erase(text.find("deal "), text.find("end\n") - text.find("deal "));
  ASSERT_TRUE(read_game_text(text, &older));
  EXPECT_EQ(older.deal, -1);
  EXPECT_FALSE(older.generator_known);
}

} // namespace
