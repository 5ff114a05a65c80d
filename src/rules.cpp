// The rules of the game: matching, gravity, breeding, arrows and the levels.
#include "rules.h"
#include "language.h"

#include <cstdlib>

const int arrow_cycle[8] = {8, 9, 6, 3, 2, 1, 4, 7};

int colour_count(int difficulty) {
  switch (difficulty) {
  case 1:
    return 5;
  case 2:
    return 8;
  case 3:
    return 12;
  default:
    return 4;
  }
}

unsigned cell_colour(int value) {
  static const unsigned colours[12] = {0x64000000, 0x64329600, 0x00640000, 0x00006400,
                                       0x96876400, 0x32876400, 0xC8876400, 0x00C80000,
                                       0xFFC8C800, 0x8CC8FA00, 0x8CC88C00, 0xF0780A00};
  if (value >= 0 && value < 12) return colours[value];
  if (value == CELL_EMPTY) return 0xFFFFFF00;
  return 56; // FL_BLACK
}

// The runs through a cell are counted from it outwards; three equal tiles
// beside it, on one line, make four.
bool in_match(const Cells board, int row, int col) {
  int v = board[row][col];
  if (!is_playable(v)) return false;
  auto same = [&](int r, int c) {
    return r >= 0 && r < BOARD_ROWS && c >= 0 && c < BOARD_COLS && board[r][c] == v;
  };
  auto run = [&](int dr, int dc) {
    int n = 0;
    while (n < 3 && same(row + (n + 1) * dr, col + (n + 1) * dc))
      n++;
    return n;
  };
  if (run(0, -1) + run(0, 1) >= 3 || run(-1, 0) + run(1, 0) >= 3) return true;
  for (int r = row - 1; r <= row; r++)
    for (int c = col - 1; c <= col; c++)
      if (same(r, c) && same(r + 1, c) && same(r, c + 1) && same(r + 1, c + 1)) return true;
  return false;
}

int mark_matches(const Cells board, Cells marked) {
  int n = 0;
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++)
      n += marked[r][c] = in_match(board, r, c);
  return n;
}

bool next_fall(const Cells board, int &row, int &col) {
  for (; row < BOARD_ROWS - 1; row++, col = 0)
    for (; col < BOARD_COLS; col++)
      if (board[row][col] >= 0 && board[row + 1][col] == CELL_EMPTY) return true;
  return false;
}

bool arrow_neighbour(int row, int col, int direction, int &to_row, int &to_col) {
  static const int step_row[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
  static const int step_col[8] = {0, 1, 1, 1, 0, -1, -1, -1};
  if (direction < 0 || direction > 7) return false;
  to_row = row + step_row[direction];
  to_col = col + step_col[direction];
  return to_row >= 0 && to_row < BOARD_ROWS && to_col >= 0 && to_col < BOARD_COLS;
}

int parse_level(const char *arg) {
  if (!arg) return 1;
  long v = strtol(arg, nullptr, 10);
  if (v > 3) return 3;
  if (v < 0) return 0;
  return (int)v;
}

const char *level_name(int difficulty) {
  static const char *names[4] = {N_("Easy"), N_("Medium"), N_("Hard"), N_("Stupid")};
  if (difficulty < 0 || difficulty > 3) return _(names[1]);
  return _(names[difficulty]);
}

int breed_draw(int difficulty) {
  if (difficulty != 0) return (int)(drand48() * (difficulty + 5));
  int chance = (int)(drand48() * 10);
  if (chance <= 5) return CELL_EMPTY;
  return (int)(drand48() * 5);
}

int dead_columns(const Cells board) {
  int columns = 0;
  for (int c = 0; c < BOARD_COLS; c++)
    for (int r = 0; r < BOARD_ROWS; r++)
      if (board[r][c] == CELL_DEAD) {
        columns++;
        break;
      }
  return columns;
}
