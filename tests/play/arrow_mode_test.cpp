// Arrow mode: clicks that follow a tile's arrow, the wheel that turns it,
// and the switch between the modes.
#include "play_helpers.h"

#include <FL/Fl_Menu_Bar.H>
#include <algorithm>

#include "deal_commands.h"
#include "kept_game.h"

using Sounds = std::vector<int>;

// The cell each direction points at, clockwise from up.
static const int step_row[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
static const int step_col[8] = {0, 1, 1, 1, 0, -1, -1, -1};

static std::string arrow_label(int direction) {
  return "@" + std::to_string(arrow_cycle[direction]) + ">";
}

// The text a tile shows.
static std::string label_of(VarnelButton *tile) {
  const char *text = tile->Fl_Button::label();
  return text ? text : "";
}

class ArrowMode : public GameTest {
protected:
  void SetUp() override {
    GameTest::SetUp();
    arrow_mode_cb(nullptr, nullptr);
    ASSERT_EQ(board()->arrow_mode, 1);
    fill_playing(board());
    srand48(11);
    clear_sounds();
  }
  void point(int row, int col, int direction) {
    Varnel *b = board();
    b->buttons[row][col]->direction = direction;
    b->Array(row, col, b->board[row][col]);
  }
  bool nothing_selected() {
    Varnel *b = board();
    return b->sel_col == -1 && b->sel_row == -1 && b->sel2_col == -1 && b->sel2_row == -1 &&
           b->selected_button == nullptr;
  }
  // One real notch of the wheel over the tile under the pointer (4 turns
  // clockwise, 5 counter-clockwise); waits for its move to be counted.
  bool wheel(int button) {
    int before = board()->moves;
    return xdo("click " + std::to_string(button)) &&
           pump_until([&] { return board()->moves == before + 1; });
  }
};

TEST_F(ArrowMode, ArrowsOffTheBoardHonk) {
  Varnel *b = board();
  const int cells[8][2] = {{0, 0}, {0, 19}, {19, 0}, {19, 19}, {0, 7}, {19, 7}, {7, 0}, {7, 19}};
  Cells before;
  memcpy(before, b->board, sizeof before);
  int checked = 0;
  for (auto &cell : cells) {
    int r = cell[0], c = cell[1];
    b->Array(r, c, 9);
    for (int d = 0; d < 8; d++) {
      int to_r = r + step_row[d], to_c = c + step_col[d];
      if (to_r >= 0 && to_r < BOARD_ROWS && to_c >= 0 && to_c < BOARD_COLS) continue;
      SCOPED_TRACE(std::to_string(r) + "," + std::to_string(c) + " direction " + std::to_string(d));
      point(r, c, d);
      clear_sounds();
      left_click(b, r, c);
      EXPECT_EQ(queued_sounds(), (Sounds{4, 8}));
      EXPECT_TRUE(nothing_selected());
      EXPECT_EQ(b->board[r][c], 9);
      checked++;
    }
    b->Array(r, c, before[r][c]);
  }
  EXPECT_EQ(checked, 32);
  EXPECT_EQ(memcmp(before, b->board, sizeof before), 0);
  EXPECT_EQ(b->moves, 0);
}

// Arrows never move a tile into an empty cell or onto a dead tile; an empty
// or dead cell clicked still follows its tile's hidden direction.
TEST_F(ArrowMode, EmptyAndDeadCells) {
  Varnel *b = board();
  b->Array(5, 6, CELL_EMPTY);
  b->Array(7, 6, CELL_DEAD);
  point(5, 5, 2);
  point(7, 5, 2);
  Cells before;
  memcpy(before, b->board, sizeof before);
  left_click(b, 5, 5);
  left_click(b, 7, 5);
  EXPECT_EQ(queued_sounds(), (Sounds{4, 8, 4, 8}));
  EXPECT_EQ(label_of(b->buttons[5][6])[0], '\0');
  EXPECT_EQ(label_of(b->buttons[7][6])[0], '\0');

  // The empty cell at (5,6) points at (5,7), a tile; the dead one at (7,6)
  // at (7,7) made empty; the empty top cell (0,3) off the board.
  b->buttons[5][6]->direction = 2;
  b->buttons[7][6]->direction = 2;
  b->buttons[0][3]->direction = 0;
  b->Array(7, 7, CELL_EMPTY);
  before[7][7] = CELL_EMPTY;
  clear_sounds();
  left_click(b, 5, 6);
  EXPECT_EQ(queued_sounds(), (Sounds{8, 4}));
  EXPECT_TRUE(nothing_selected());
  clear_sounds();
  left_click(b, 7, 6);
  left_click(b, 0, 3);
  EXPECT_EQ(queued_sounds(), (Sounds{8, 8, 8, 8}));
  EXPECT_EQ(memcmp(before, b->board, sizeof before), 0);
  EXPECT_EQ(b->moves, 0);
  EXPECT_STREQ(b->moves_text, "");
}

TEST_F(ArrowMode, ClickSwapsWithItsNeighbourAndRunsTheMove) {
  Varnel *b = board();
  b->Array(10, 10, 9);
  b->Array(9, 11, 10);
  point(10, 10, 1);
  int other = b->buttons[9][11]->direction;
  left_click(b, 10, 10);
  Sounds s = queued_sounds();
  ASSERT_GE(s.size(), 3u);
  EXPECT_EQ((Sounds{s[0], s[1], s[2]}), (Sounds{4, 5, 0}));
  EXPECT_EQ(b->board[9][11], 9);
  EXPECT_EQ(b->board[10][10], 10);
  // The arrow travelled with its tile.
  EXPECT_EQ(b->buttons[9][11]->direction, 1);
  EXPECT_EQ(label_of(b->buttons[9][11]), arrow_label(1));
  EXPECT_EQ(label_of(b->buttons[10][10]), arrow_label(other));
  EXPECT_EQ(b->moves, 1);
  EXPECT_STREQ(b->moves_box->label(), "1");
  EXPECT_TRUE(nothing_selected());

  // In Stupid the clicked cell is left dead.
  main_window->difficulty = 3;
  fill_playing(b);
  b->Array(10, 10, 9);
  b->Array(11, 10, 10);
  point(10, 10, 4);
  left_click(b, 10, 10);
  EXPECT_EQ(b->board[10][10], CELL_DEAD);
  EXPECT_EQ(b->board[11][10], 9);
  EXPECT_EQ(label_of(b->buttons[10][10])[0], '\0');
  EXPECT_EQ(b->moves, 2);
  EXPECT_TRUE(nothing_selected());
}

// Real wheel notches over the tile under the real pointer.
TEST_F(ArrowMode, WheelTurnsTheArrowAndCostsAMove) {
  Varnel *b = board();
  point(8, 8, 7);
  ASSERT_TRUE(pointer_to_tile(b, 8, 8));
  clear_sounds();
  ASSERT_TRUE(wheel(4));
  EXPECT_EQ(b->buttons[8][8]->direction, 0);
  EXPECT_EQ(label_of(b->buttons[8][8]), arrow_label(0));
  EXPECT_STREQ(b->moves_box->label(), "1");
  Sounds s = queued_sounds();
  ASSERT_FALSE(s.empty());
  EXPECT_EQ(s[0], 0);
  for (int c = 0; c < BOARD_COLS; c++)
    EXPECT_NE(b->board[0][c], CELL_EMPTY) << "column " << c << " not bred";

  for (int c = 0; c < BOARD_COLS; c++)
    b->Array(0, c, CELL_EMPTY);
  ASSERT_TRUE(wheel(5));
  EXPECT_EQ(b->buttons[8][8]->direction, 7);
  for (int c = 0; c < BOARD_COLS; c++)
    b->Array(0, c, CELL_EMPTY);
  ASSERT_TRUE(wheel(5));
  EXPECT_EQ(b->buttons[8][8]->direction, 6);
  EXPECT_STREQ(b->moves_text, "3");

  // Over a dead tile the arrow turns too, and shows until the cell is set.
  fill_playing(b);
  b->Array(12, 5, CELL_DEAD);
  point(12, 5, 2);
  ASSERT_EQ(label_of(b->buttons[12][5]), "");
  ASSERT_TRUE(pointer_to_tile(b, 12, 5));
  clear_sounds();
  ASSERT_TRUE(wheel(4));
  EXPECT_EQ(b->buttons[12][5]->direction, 3);
  EXPECT_EQ(label_of(b->buttons[12][5]), arrow_label(3));
  EXPECT_EQ(queued_sounds()[0], 0);
  b->Array(12, 5, CELL_DEAD);
  EXPECT_EQ(label_of(b->buttons[12][5]), "");

  // Over an empty top cell, in Easy with draws that breed nothing: the
  // cell stays empty and shows the arrow; the step still pops.
  main_window->difficulty = 0;
  long seed = seed_breeding_nothing();
  SCOPED_TRACE("seed " + std::to_string(seed));
  fill_playing(b);
  point(0, 4, 6);
  ASSERT_TRUE(pointer_to_tile(b, 0, 4));
  clear_sounds();
  srand48(seed);
  ASSERT_TRUE(wheel(5));
  EXPECT_EQ(b->board[0][4], CELL_EMPTY);
  EXPECT_EQ(b->buttons[0][4]->direction, 5);
  EXPECT_EQ(label_of(b->buttons[0][4]), arrow_label(5));
  EXPECT_EQ(queued_sounds(), Sounds{0});
  EXPECT_EQ(global_win, 0);
  EXPECT_EQ(b->moves, 5);
}

// The game kept at Quit comes back in arrow mode, each tile's arrow as it
// pointed.
TEST_F(ArrowMode, ArrowsComeBackAfterARestart) {
  main_window->keep_game_between_runs();
  for (int i = 0; i < BOARD_ROWS * BOARD_COLS; i++)
    point(i / BOARD_COLS, i % BOARD_COLS, i % 7);
  board()->TurnArrow(board()->buttons[8][8], true);
  std::vector<std::string> labels;
  for (int i = 0; i < BOARD_ROWS * BOARD_COLS; i++)
    labels.push_back(label_of(board()->buttons[i / BOARD_COLS][i % BOARD_COLS]));
  quit_cb(nullptr, nullptr);
  Fl::check();
  finish_keeping_game();
  GameRecord kept;
  ASSERT_TRUE(load_kept_game(&kept));
  main_window = new MainWin(kept.difficulty, 800, 830, "Varnel test");
  main_window->restore_game(kept);
  EXPECT_TRUE(board()->arrow_mode == 1 && board()->moves == 1);
  EXPECT_TRUE(main_window->menu_bar->find_item("&Difficulty/Toggle Arrow Mode")->value());
  for (int i = 0; i < BOARD_ROWS * BOARD_COLS; i++)
    EXPECT_EQ(label_of(board()->buttons[i / BOARD_COLS][i % BOARD_COLS]), labels[i]) << i;
}

TEST_F(ArrowMode, WheelOnAFullTopRowLosesAndThenDoesNothing) {
  Varnel *b = board();
  fill_without_matches(b);
  point(8, 8, 2);
  ASSERT_TRUE(pointer_to_tile(b, 8, 8));
  clear_sounds();
  ASSERT_TRUE(wheel(4));
  Sounds s = queued_sounds();
  EXPECT_EQ(s, Sounds{3});
  EXPECT_EQ(global_win, -1);
  EXPECT_TRUE(b->result_button->visible());
  EXPECT_STREQ(b->result_button->label(), "You Lose.");

  // After the loss the wheel is ignored; a click still plays. The click on
  // (1,0) points off the board and shows that the notch before it was seen.
  point(1, 0, 6);
  clear_sounds();
  ASSERT_TRUE(xdo("click 4"));
  ASSERT_TRUE(pointer_to_tile(b, 1, 0));
  ASSERT_TRUE(xdo("click 1"));
  ASSERT_TRUE(pump_until([] { return global_wave_cnt.load() >= 2; }));
  EXPECT_EQ(queued_sounds(), (Sounds{4, 8}));
  EXPECT_EQ(b->buttons[8][8]->direction, 3);
  EXPECT_EQ(b->moves, 1);
}

TEST_F(ArrowMode, WheelWithoutAHoveredTileDoesNothing) {
  Varnel *b = board();
  point(1, 0, 6);
  ASSERT_TRUE(pointer_to_tile(b, 9, 9));
  // The result button covers the middle of the board.
  b->result_button->show();
  ASSERT_TRUE(xdo("mousemove --window " + std::to_string(fl_xid(b)) + " 400 400"));
  ASSERT_TRUE(pump_until([&] { return b->buttons[9][9]->hover == 0; }));
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++)
      ASSERT_EQ(b->buttons[r][c]->hover, 0);
  ASSERT_TRUE(xdo("click 4"));
  ASSERT_TRUE(pointer_to_tile(b, 1, 0));
  ASSERT_TRUE(xdo("click 1"));
  ASSERT_TRUE(pump_until([] { return global_wave_cnt.load() >= 2; }));
  EXPECT_EQ(queued_sounds(), (Sounds{4, 8}));
  EXPECT_EQ(b->moves, 0);
}

// A sideways scroll (X buttons 6 and 7, as touchpads send them) neither
// turns the arrow under the pointer nor costs a move.
TEST_F(ArrowMode, SidewaysScrollTurnsNothing) {
  Varnel *b = board();
  point(1, 0, 6);
  point(9, 9, 2);
  ASSERT_TRUE(pointer_to_tile(b, 9, 9));
  ASSERT_TRUE(xdo("click 6 click 7 click 6"));
  // A click whose arrow points off the board follows the scrolls: its two
  // sounds come after whatever the scrolls did.
  ASSERT_TRUE(pointer_to_tile(b, 1, 0));
  ASSERT_TRUE(xdo("click 1"));
  ASSERT_TRUE(pump_until([] { return global_wave_cnt.load() >= 2; }));
  EXPECT_EQ(queued_sounds(), (Sounds{4, 8}));
  EXPECT_EQ(b->buttons[9][9]->direction, 2);
  EXPECT_EQ(b->moves, 0);
  EXPECT_STREQ(b->moves_text, "");
}

// Two picks of the toggle: arrow mode off, then on, each with a new game at
// the same level. The new game's arrows are its deal's, as its cells are:
// its number deals them again (up to the swaps of falling tiles, which stay
// within their columns).
TEST_F(ArrowMode, ToggleTwiceAndTheWheelInSwapMode) {
  Varnel *b = board();
  main_window->difficulty = 2;
  auto column_directions = [b] {
    std::vector<std::vector<int>> columns(BOARD_COLS);
    for (int c = 0; c < BOARD_COLS; c++) {
      for (int r = 0; r < BOARD_ROWS; r++)
        columns[c].push_back(b->buttons[r][c]->direction);
      std::sort(columns[c].begin(), columns[c].end());
    }
    return columns;
  };
  b->moves = 4;
  for (int pick = 0; pick < 2; pick++) {
    arrow_mode_cb(nullptr, nullptr);
    int mode = pick == 0 ? 0 : 1;
    EXPECT_EQ(b->arrow_mode, mode);
    EXPECT_EQ(b->moves, 0);
    EXPECT_EQ(main_window->difficulty, 2);
    auto directions = column_directions();
    start_deal(b, b->tally.deal);
    EXPECT_EQ(column_directions(), directions);
    for (int r = 0; r < BOARD_ROWS; r++)
      for (int c = 0; c < BOARD_COLS; c++) {
        VarnelButton *tile = b->buttons[r][c];
        std::string want =
            mode == 1 && is_playable(b->board[r][c]) ? arrow_label(tile->direction) : std::string();
        ASSERT_EQ(label_of(tile), want) << r << "," << c;
      }
    if (mode == 1) break;

    // In swap mode the wheel does nothing; the click after it selects.
    fill_playing(b);
    ASSERT_TRUE(pointer_to_tile(b, 6, 6));
    int before = b->buttons[6][6]->direction;
    clear_sounds();
    ASSERT_TRUE(xdo("click 4 click 1"));
    ASSERT_TRUE(pump_until([] { return global_wave_cnt.load() >= 1; }));
    EXPECT_EQ(queued_sounds(), Sounds{4});
    EXPECT_EQ(b->moves, 0);
    EXPECT_EQ(b->buttons[6][6]->direction, before);
  }
}

// The mode code of a win in arrow mode is the negated level; Easy stays 0.
// A wheel turn counts itself before its breeding step finds the win.
TEST_F(ArrowMode, WinsRecordTheArrowMode) {
  Varnel *b = board();
  main_window->difficulty = 2;
  read_top_scores();
  for (int r = 0; r < BOARD_ROWS; r++)
    b->Array(r, 0, CELL_EMPTY);
  ASSERT_TRUE(pointer_to_tile(b, 5, 5));
  {
    NameDialog answer("W");
    ASSERT_TRUE(wheel(5));
    EXPECT_EQ(answer.answered, 1);
  }
  EXPECT_EQ(file_text("top_scores.txt"), "1:-2:W\n");
  main_window->difficulty = 0;
  b->moves = 6;
  {
    NameDialog answer("E");
    win_cb(nullptr, nullptr);
  }
  EXPECT_EQ(file_text("top_scores.txt"), "1:-2:W\n6:0:E\n");
  ASSERT_NE(b->scores_window, nullptr);
}
