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
// shows here: these boards are what these numbers deal, now and later. Each
// board's text (cells, arrows, generator) is pinned by its FNV-1a hash.
TEST_F(Deal, ThreeDealsPinnedCellByCell) {
  const struct {
    long number;
    int level;
    bool arrows;
    unsigned long long hash;
  } deals[] = {{1765198211, 1, false, 0x0c001207a3aee4ceull},
               {20261208, 3, false, 0x6a177573cba5d3d7ull},
               {7, 2, true, 0x5b1afa3d2b1c70e3ull}};
  for (const auto &d : deals) {
    deal(board(), d.number, d.level, d.arrows);
    std::string text = board_text(board());
    unsigned long long hash = 14695981039346656037ull;
    for (unsigned char ch : text)
      hash = (hash ^ ch) * 1099511628211ull;
    EXPECT_EQ(hash, d.hash) << d.number << " dealt:\n" << text;
  }
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
    Fl_Window *dialog = find_dialog(&input);
    for (int i = 0; i < dialog->children(); i++) // its message among its labels
      second_prompt += dialog->child(i)->label() ? dialog->child(i)->label() : "";
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
  swap_move(board(), 10, 10);
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
