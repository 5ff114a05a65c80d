// New game, matching and gravity, watched step by step on the real board.
#include <cctype>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "board_helpers.h"
#include "game_fixture.h"

namespace {

// A hand-made layout, written bottom-aligned: the last string is row 19.
// '.' is an empty cell, '#' a dead tile, a letter the colour 'a' = 0,
// 'b' = 1, ... An upper-case letter marks a tile that the next match
// clearing must take; a lower-case one must stay.
struct Layout {
  Cells cells;   // the layout as placed
  Cells cleared; // the layout with the upper-case tiles taken away
  bool any_cleared = false;
};

Layout place(Varnel *b, const std::vector<std::string> &rows) {
  Layout l;
  clear_board(b);
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++)
      l.cells[r][c] = l.cleared[r][c] = CELL_EMPTY;
  int top = BOARD_ROWS - (int)rows.size();
  for (int i = 0; i < (int)rows.size(); i++) {
    for (int c = 0; c < (int)rows[i].size(); c++) {
      char ch = rows[i][c];
      int v = CELL_EMPTY;
      if (ch == '#') v = CELL_DEAD;
      if (islower(ch)) v = ch - 'a';
      if (isupper(ch)) v = ch - 'A';
      l.cells[top + i][c] = v;
      l.cleared[top + i][c] = isupper(ch) ? CELL_EMPTY : v;
      if (isupper(ch)) l.any_cleared = true;
      b->Array(top + i, c, v);
    }
  }
  return l;
}

// The single-cell fall between two consecutive pictures of the board: the
// cell the tile left. Fails unless exactly one tile went down by one cell.
std::pair<int, int> fall_step(const Shot &before, const Shot &after) {
  std::vector<std::pair<int, int>> changed;
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++)
      if (before.v[r][c] != after.v[r][c]) changed.push_back({r, c});
  if (changed.size() != 2) {
    ADD_FAILURE() << changed.size() << " cells changed in one step";
    return {-1, -1};
  }
  int r = changed[0].first, c = changed[0].second;
  bool one_down = changed[1].first == r + 1 && changed[1].second == c &&
                  after.v[r][c] == CELL_EMPTY && after.v[r + 1][c] == before.v[r][c] &&
                  before.v[r + 1][c] == CELL_EMPTY;
  EXPECT_TRUE(one_down) << "cells (" << r << "," << c << ") and (" << changed[1].first << ","
                        << changed[1].second << ") changed";
  return {r, c};
}

std::vector<std::pair<int, int>> fall_steps(const Shot &start, const std::vector<Shot> &shots) {
  std::vector<std::pair<int, int>> steps;
  const Shot *prev = &start;
  for (const Shot &s : shots) {
    steps.push_back(fall_step(*prev, s));
    prev = &s;
  }
  return steps;
}

using ResolutionTest = GameTest;

TEST_F(ResolutionTest, MatchesAreRunsOfFourAndSquaresClearedInOneStep) {
  const std::vector<std::vector<std::string>> cases = {
      // Rows: three stay, four and five go; a run ending at the right edge.
      {"aaa.BBBB.CCCCC..EEEE"},
      {"DDDDDDDDDDDDDDDDDDDD"},
      // Columns: five, four (down to the bottom edge), and three that stay.
      {"B...", "B.C.", "B.C.a", "B.C.a", "B.C.a"},
      // A square; a 2 x 3 and a 3 x 2 block are taken whole.
      {"FF.GGG.HH", "FF.GGG.HH", ".......HH"},
      // L, T and cross: a row and a column sharing a cell go together.
      {"I....JJJJ......K....", "I.....J.......KKKK..", "I.....J........K....",
       "IIII..J........K...."},
      // Square at the bottom-right corner.
      {"..................LL", "..................LL"},
  };
  for (const auto &rows : cases) {
    SCOPED_TRACE(rows.front() + " ... " + rows.back());
    Layout l = place(board(), rows);
    StepRecorder rec(board());
    clear_sounds();
    EXPECT_EQ(board()->Matched(), 1);
    // The first repaint shows every match gone at once and nothing moved
    // yet; one clear, one request of sound 1, and nothing left to resolve.
    ASSERT_GE(rec.shots.size(), 1u);
    EXPECT_TRUE(rec.shots[0] == Shot(l.cleared));
    EXPECT_EQ(queued_sounds(), std::vector<int>{SOUND_BLOP});
    EXPECT_TRUE(is_stable(board()->board));
  }
}

TEST_F(ResolutionTest, NoMatchChangesNothingDrawsNothingAndIsSilent) {
  const std::vector<std::vector<std::string>> cases = {
      // Equal tiles split by an empty or a dead cell; dead tiles never match.
      {"aa.aa.bb#bb.####.cc", "...........####.d.c"},
      {"e....", "e.ff", "..fg", "e.gg", "e"},
      // Three high, two wide: no run of four, no square of one colour.
      {"ab.aaa", "ba.bbb", "ab.aaa"},
  };
  for (const auto &rows : cases) {
    SCOPED_TRACE(rows.front() + " ... " + rows.back());
    Layout l = place(board(), rows);
    long steps = board()->repaint_steps;
    clear_sounds();
    EXPECT_EQ(board()->Matched(), 0);
    EXPECT_TRUE(Shot(board()->board) == Shot(l.cells));
    EXPECT_EQ(board()->repaint_steps, steps);
    EXPECT_TRUE(queued_sounds().empty());
  }
}

TEST_F(ResolutionTest, ClearingLetsTilesFallAndCascades) {
  // Row 19's run goes; row 18 drops onto the 'b' at column 4 and makes a
  // second run, which goes too.
  place(board(), {"cbbb", "AAAAb"});
  StepRecorder rec(board());
  clear_sounds();
  EXPECT_EQ(board()->Matched(), 1);
  Cells want;
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++)
      want[r][c] = CELL_EMPTY;
  want[19][0] = 2;
  EXPECT_TRUE(Shot(board()->board) == Shot(want));
  EXPECT_EQ(queued_sounds(), (std::vector<int>{SOUND_BLOP, SOUND_BLOP}));
  // Clear, four single-cell falls, the second clear and its repaint.
  EXPECT_EQ(rec.shots.size(), 1u + 4u + 1u + 1u);
}

TEST_F(ResolutionTest, FallMovesOneCellPerRepaintInPassOrder) {
  // A stack of two in column 0: the lower tile falls all the way within the
  // first pass, the upper one follows in the second.
  Layout l = place(board(), {"a", "b", ".", ".", "."});
  StepRecorder rec(board());
  board()->Fall();
  std::vector<std::pair<int, int>> want = {{16, 0}, {17, 0}, {18, 0}, {15, 0}, {16, 0}, {17, 0}};
  EXPECT_EQ(fall_steps(Shot(l.cells), rec.shots), want);
  EXPECT_EQ(board()->board[18][0], 0);
  EXPECT_EQ(board()->board[19][0], 1);
}

TEST_F(ResolutionTest, ColumnsFallInterleavedAndDeadTilesAndArrowsGoAlong) {
  board()->arrow_mode = 1;
  // A colour in column 2 and a dead tile in column 5, one row lower.
  Layout l = place(board(), {"..c", "..#..#", ".....", "....."});
  int colour_direction = board()->buttons[16][2]->direction;
  int dead_direction = board()->buttons[17][5]->direction;
  l.cells[16][5] = CELL_EMPTY; // only the dead tile at (17, 5) is wanted
  board()->Array(16, 5, CELL_EMPTY);
  l.cells[17][2] = CELL_EMPTY;
  board()->Array(17, 2, CELL_EMPTY);
  clear_sounds();
  StepRecorder rec(board());
  board()->Fall();
  std::vector<std::pair<int, int>> want = {{16, 2}, {17, 2}, {17, 5}, {18, 2}, {18, 5}};
  EXPECT_EQ(fall_steps(Shot(l.cells), rec.shots), want);
  EXPECT_EQ(board()->board[19][2], 2);
  EXPECT_EQ(board()->board[19][5], CELL_DEAD);
  // Each tile's arrow direction went down with it; the cell it left shows
  // no arrow.
  EXPECT_EQ(board()->buttons[19][2]->direction, colour_direction);
  EXPECT_EQ(board()->buttons[19][5]->direction, dead_direction);
  EXPECT_EQ(label_of(board()->buttons[19][2]), arrow_label(colour_direction));
  EXPECT_EQ(label_of(board()->buttons[19][5]), "");
  EXPECT_EQ(label_of(board()->buttons[16][2]), "");
  EXPECT_TRUE(queued_sounds().empty()); // the top row is empty: no bell
}

TEST_F(ResolutionTest, FallWithNothingToMoveOnlyChecksTheTopRow) {
  fill_without_matches(board());
  // A square that Fall must leave alone: with nothing moved it does not
  // look for matches.
  for (int r = 10; r < 12; r++)
    for (int c = 10; c < 12; c++)
      board()->Array(r, c, 11);
  Shot before(board()->board);
  // The bell while playing and after Win was picked, not after a loss.
  for (int win : {0, 1, -1}) {
    SCOPED_TRACE("global_win " + std::to_string(win));
    global_win = win;
    long steps = board()->repaint_steps;
    clear_sounds();
    board()->Fall();
    EXPECT_EQ(board()->repaint_steps, steps);
    EXPECT_TRUE(Shot(board()->board) == before);
    EXPECT_EQ(queued_sounds(), win == -1 ? std::vector<int>{} : std::vector<int>{SOUND_BELL});
  }
  // One empty top cell, with nothing above it to fill it: no bell.
  global_win = 0;
  board()->Array(0, 19, CELL_EMPTY);
  clear_sounds();
  board()->Fall();
  EXPECT_TRUE(queued_sounds().empty());
  EXPECT_EQ(board()->board[0][19], CELL_EMPTY);
}

// The board must be in the state a new game leaves: row 0 empty, every value
// a colour below n, no match, nothing able to fall.
void expect_new_game(Varnel *b, int colours) {
  int highest = -1;
  for (int c = 0; c < BOARD_COLS; c++)
    EXPECT_EQ(b->board[0][c], CELL_EMPTY) << "column " << c;
  for (int r = 1; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++) {
      int v = b->board[r][c];
      EXPECT_TRUE(v == CELL_EMPTY || (v >= 0 && v < colours)) << v << " at " << r << "," << c;
      if (v > highest) highest = v;
    }
  // About 300 tiles stay: every colour shows up.
  EXPECT_EQ(highest, colours - 1);
  EXPECT_TRUE(is_stable(b->board));
}

TEST_F(ResolutionTest, NewGameDealsTheLevelsColours) {
  const std::vector<std::pair<int, int>> levels = {{0, 4},  {1, 5}, {2, 8},
                                                   {3, 12}, {7, 4}, {-1, 4}};
  for (auto [difficulty, colours] : levels) {
    SCOPED_TRACE("difficulty " + std::to_string(difficulty));
    main_window->difficulty = difficulty;
    board()->Reset();
    expect_new_game(board(), colours);
  }
  // A board without a main window deals five colours.
  MainWin *win = main_window;
  main_window->difficulty = 3;
  main_window = nullptr;
  win->game->Reset();
  main_window = win;
  expect_new_game(board(), 5);
}

TEST_F(ResolutionTest, DealFollowsTheClockSeed) {
  // The deal is row-major, one draw per cell of rows 1 to 19, from a seed of
  // the clock in seconds: two games within one second are equal. Retried
  // when the clock ticks over in between.
  bool same_second = false;
  main_window->hide(); // no drawing: the resolutions run much faster
  for (int attempt = 0; attempt < 5 && !same_second; attempt++) {
    // Start right after the clock ticks: two resolutions take well under a
    // second.
    time_t t0 = time(nullptr);
    while (time(nullptr) == t0)
      Fl::wait(0.001);
    t0 = time(nullptr);
    srand48((int)t0);
    Cells deal, marks;
    for (int r = 0; r < BOARD_ROWS; r++)
      for (int c = 0; c < BOARD_COLS; c++)
        deal[r][c] = r == 0 ? CELL_EMPTY : (int)(drand48() * 5);
    StepRecorder rec(board());
    board()->Reset();
    Shot first(board()->board);
    board()->Reset();
    Shot second(board()->board);
    if (time(nullptr) != t0) continue;
    same_second = true;
    EXPECT_TRUE(first == second);
    // The first repaint shows the deal with its matches taken away.
    if (mark_matches(deal, marks) == 0) {
      EXPECT_TRUE(first == Shot(deal));
      continue;
    }
    for (int r = 0; r < BOARD_ROWS; r++)
      for (int c = 0; c < BOARD_COLS; c++)
        if (marks[r][c]) deal[r][c] = CELL_EMPTY;
    ASSERT_FALSE(rec.shots.empty());
    EXPECT_TRUE(rec.shots[0] == Shot(deal));
  }
  EXPECT_TRUE(same_second) << "the clock ticked over at every attempt";
}

TEST_F(ResolutionTest, NewGameResetsTheGameStateAndKeepsTheMode) {
  Varnel *b = board();
  b->arrow_mode = 1;
  global_win = -1;
  b->result_button->label("You Lose.");
  b->result_button->show();
  b->moves = 9;
  b->moves_box->label("9");
  b->sel_row = b->sel_col = b->sel2_row = b->sel2_col = 3;
  b->selected_button = b->buttons[3][3];
  b->scores_window = new Fl_Double_Window(100, 100, "scores");
  b->scores_window->show();
  Fl_Widget_Tracker scores(b->scores_window);
  Fl::check();
  b->Reset();
  EXPECT_EQ(global_win, 0);
  EXPECT_FALSE(b->result_button->visible());
  EXPECT_EQ(b->moves, 0);
  EXPECT_STREQ(b->moves_box->label(), ""); // as at start-up, until the first move
  EXPECT_EQ(b->sel_row, -1);
  EXPECT_EQ(b->sel_col, -1);
  EXPECT_EQ(b->sel2_row, -1);
  EXPECT_EQ(b->sel2_col, -1);
  EXPECT_EQ(b->selected_button, nullptr);
  EXPECT_EQ(b->scores_window, nullptr);
  Fl::check();
  EXPECT_TRUE(scores.deleted());
  // Arrow mode stays, and every coloured tile shows its arrow.
  EXPECT_EQ(b->arrow_mode, 1);
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++) {
      VarnelButton *t = b->buttons[r][c];
      std::string want = b->board[r][c] == CELL_EMPTY ? "" : arrow_label(t->direction);
      EXPECT_EQ(label_of(t), want) << r << "," << c;
    }
  // Back in swap mode a new game leaves every label empty.
  b->arrow_mode = 0;
  b->Reset();
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++)
      EXPECT_EQ(label_of(b->buttons[r][c]), "") << r << "," << c;
}

} // namespace
