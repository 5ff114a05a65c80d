// Deal numbers on the real board: three deals pinned cell by cell, the
// command line's deal and Play Deal... alike, a bad number refused in the
// dialog, and a kept game that breeds on after a restart as without one.
#include "play_helpers.h"

#include "board_game.h"
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
  size_t board = text.find('\n', text.find("\nmoves ") + 1) + 1;
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
       ".4.5.0.5.5.3.1.3.5.5.6.5.0.0.6.2.4.6.0.4\nc5d0a6d2.2c4a2.2.6.1.0.5a3a2e1b7.5.7.5.5\n"
       "d4a0e2b7.1c4b3.2.7.6a1d2c0b3b7e2.5.0.5.5\nc7a2b3e5.2d5c5.2.7.7a7b0a6c4e7b3.5.1.3.5\n"
       "e5b6c0d4.6d1d4.2.3.4e1a4e6c6e3c3.5.0.0.5\nd0d6a2c2d2a5c6.4d7b1a2c1e4e5b1b4.2.7.5.6\n"
       "a3d3b4b4b0d5e4c2e6a6b3b6d1d1a6c1.6.0a2c7\nb1c4c5d6a2d4d4b5e2e3c4e7a2a3d3a3.3.7b6e3\n"
       "a3d5d0e7d1c5c5d0b4c0c2e4b7c7c3b0b5e4e2b4\nc4d6a7e1b3d0d7a7c1a6b4d0e1e1c6a2d3c3b3c6\n"
       "c4d2e6a1c6a0e2e2a3e0d5a4a6a3e0b3c6b7c6d3\nc0b1e6a7d4a5b7b4c0a3d4d3e0c2a6c1e5e5d0b6\n"
       "a2a5e6e4c1d7e6c0a7c6c5b4a7b4e4a7d6d1c5e2\nb7d2d3d1b7e5d0a4c4c4d2c3e3d6c1e0c3a6d7b4\n"
       "e2b7c1a2e5d7a0c2d3c1b2c5c2e6b5a6c5d1e2c5\nb5e5a4b6d0e6a7c5c0b4b5d1b6d5d4e4d0e3b5d4\n"
       "d1d5c3e7a2e3e4d4a4c3d1b3d0d7c3c0a1c5d3c3\na4d0c5e3b1c3d7c4d0c1a7c2a5e0c0a3b6d4c7c0\n"
       "c6a3d0c2b6c2e2c6a4a1e3b3d7a3a0b1e5c1e5a1\ne6c5a7b7e3b5b4e3c2a5c2c6e6c7a1b0d7a7d1a0\n"
       "rng 60138 2758 10093\nend\n"},
      {20261208, 3, false,
       ".6.5.1.5.4.2.1.1.0.2.0.0.7.3.3.1.4.0.3.7\nk4i2c0i4g3e6c6c7b5e5b1a7l0f5f4c2g4a2f4l1\n"
       "g4d2a7h6f5j5k2k6h5i0c7k1a4i7g6e1g7d4g1b2\ng3d7l7j1i3i2d5j2i4a1l4c2g3l0k6b7k2g2c5d7\n"
       "e4l1k1c5e1d1i3d1g7c0h3d6e7b1k3k5d0d1h7l0\ng5c4b5i0c4b0f4c6k0a5e6j2l1c4e2h5a5c4l1a1\n"
       "i1h2h6a4h3a2g2j6a2i7j0d5b2h3d7i4i2g0c6c1\nb7e2j4g4e5d4d0j4d0l1a3h1e0f1l4h0e7a4k7c4\n"
       "k5d1g6h3i0g2b2h4a5b6e0c5a4b5g3a4k3g2k2h3\nh2c0j5e7b5d1e1g6i3j1a3i7g4h6e5h1f6d4d2f7\n"
       "d2a1h3l6i2c7c4j7f5c2e4k3h4j5i1b0k0g7d0k3\nd6b2f6k6d3l7g3l5h6e2g1f1h4i6c7a7b3l1b0f3\n"
       "j0d2j4j6f1l6f0i5j1e7c6b4g3k5l1l2f7c6a3f5\nb1e0g1j2c2j0b4i2c1k0k5g6f7i5c1e3l6k6f1i6\n"
       "c7a5c4d3e0a1g5d3b4a7i2k2k7h1c2f6j4j4c5j3\nl3i5g3f0a1c2i0e0h5l7e5d3k0c3e2j0g5h2i6e5\n"
       "e2i6f1a1c5e0a0a6i1l2i2f3a6e4d6b4i6d2j4i6\nd0j3c5c4h5a7a0j3c1d5e7f6k2g7k6g0j3e4g7k1\n"
       "b1f5i6h1i0k3a5f0c7i2l6j2d0k1j3a7e3g1l1b0\nc2i4k5b2a0f4i4a7l2d6j7e0a5b4f0l1f6b6b4a2\n"
       "rng 60138 38219 2996\nend\n"},
      {7, 2, true,
       ".2.5.2.1.3.2.1.5.0.0.6.7.4.7.2.3.0.0.2.3\nc4.1.0.6.1.2.5f1a0a5g2h7e0h2c2d4a5a2c6d4\n"
       "e6f6c6b5d0c5b0b0a0f4c1h4a1c2c5e6f5c2g0e0\ng0g1g4f3a5f2a6a1a1e2b5e7b5c3f3g5f7c1a1a2\n"
       "a0b5e1d6f4c7g0b7b0c0f4h6f0d6d1f2h0b5b4c0\na1f7b6g1e5h2a1h6a4a5e4g1a2g2b1c5a5f3e7a0\n"
       "b3h0g7b0f6c5b0g3e0f2e3b2c0c2b3f6f0d2h2a4\nd6a2h5a7g7f5a1d5a7c1d1c0a5c2d3g4a6c4c3e1\n"
       "g3c6f1h4h3f6b4f4h7b5b6a5f6c3d5e2g0e5d7b4\nd4g5b4e3d6g5e1e1h3f3g2f3g2d3f6c3a7f1h4e3\n"
       "e1f4e7d1g5f4b4b7d0d2c6d3c6d1g7d3h4b1e4d2\nb6e1h7b1f1e2e1h0a2c7g5d7g1b6h6d3e3b6e0c3\n"
       "g0b6h1b2b5c2b1a3c2h2f5h1b6g2g7d5d2g7a5d0\na1g7b2c4f2c4b0d2c2c7f4b1g3c6h5f6c0h2f5a6\n"
       "b2h7c6e0c0e0a5c3c6h1e0b3d3g4f1g7a0c1f3g0\nc1h1g2a7a5a2f1d5g2b4a3d4d5e2b7h1a2b6d7a0\n"
       "b3b2c2h2f2c2b2f4c0e7d7e4f0c2h5b4c0g2h1a3\nd0b1a3g1b4c0f0e1a1h5h2e6a7c2f7e4a5c7b2d5\n"
       "a5b2d1b5e6a6a4b6b5f4c0g1h2c6h5e4f0h5c4f1\nf4c6b3f0g4g3e2g4f0e7a1b7c7g7f1e0a1f5e4b2\n"
       "rng 60138 63754 13904\nend\n"},
  };
  for (const auto &d : deals) {
    SCOPED_TRACE(d.number);
    deal(board(), d.number, d.level, d.arrows);
    EXPECT_EQ(board_text(board()), d.text);
  }
}

// The labels of a dialog's widgets: its message.
std::string dialog_message(Fl_Window *dialog) {
  std::string text;
  for (int i = 0; dialog && i < dialog->children(); i++)
    text += dialog->child(i)->label() ? dialog->child(i)->label() : "";
  return text;
}

TEST_F(Deal, TheCommandLineAndPlayDealDealAlikeAndABadNumberIsAskedAgain) {
  char *argv[] = {(char *)"varnel", (char *)"--deal", (char *)"4242", (char *)"3", nullptr};
  int argc = 4;
  DealArgs args = take_deal_args(argc, argv);
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
    Fl_Input *input;
    second_prompt = dialog_message(find_dialog(&input));
    answer.text = " 4242 ";
  };
  play_deal_cb(nullptr, nullptr);
  EXPECT_EQ(answer.answered, 2);
  EXPECT_NE(second_prompt.find("digits only"), std::string::npos) << second_prompt;
  EXPECT_EQ(board_text(board()), from_command_line);
  EXPECT_STREQ(main_window->label(), "Varnel — deal 4242");
}

// A kept game of this version breeds on after a restart as without one: the
// generator is as it was, whatever the new run's clock. One
// kept by the older version loads, its deal unknown.
TEST_F(Deal, AKeptGameKeepsItsDealAndGenerator) {
  deal(board(), DEAL_MAX, 1, false);
  left_click(board(), 10, 10), left_click(board(), 10, 11);
  GameRecord kept = board_game(board(), 1), back, older;
  keep_tally(kept, board()->tally);
  std::string text = game_text(kept);
  ASSERT_TRUE(read_game_text(text, &back));
  srand48(1); // a new run's clock
  main_window->restore_game(back);
  DealState now = generator_state(); // all that the next draws depend on
  EXPECT_EQ(std::vector<int>(now.x, now.x + 3),
            std::vector<int>(kept.generator, kept.generator + 3));
  EXPECT_EQ(board()->tally.deal, DEAL_MAX);
  text.erase(text.find("deal "), text.find("end\n") - text.find("deal "));
  ASSERT_TRUE(read_game_text(text, &older));
  EXPECT_EQ(older.deal, -1);
  EXPECT_FALSE(older.generator_known);
}

} // namespace
