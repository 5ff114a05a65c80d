// The rules of the game as plain functions over the 20 x 20 cell array.
// The board widget and the tests share this one definition of them.
#pragma once

const int BOARD_ROWS = 20;
const int BOARD_COLS = 20;
const int CELL_EMPTY = -1;
const int CELL_DEAD = 100;

typedef int Cells[BOARD_ROWS][BOARD_COLS];

// Colours and dead tiles are tiles; only colours (0..99) can be selected and
// matched.
inline bool is_playable(int value) {
  return (unsigned)value <= 99;
}

// Number of colours a new game deals at this level.
int colour_count(int difficulty);

// Toolkit colour of a tile showing this cell value.
unsigned cell_colour(int value);

// Clears `marked` and marks every cell that belongs to a run of four or more
// in a row or column, or to a 2 x 2 square, of one playable value. Returns
// the number of marked cells.
int mark_matches(const Cells board, Cells marked);
// Whether the cell belongs to such a run or square.
bool in_match(const Cells board, int row, int col);

// Finds the next single-cell fall of a gravity pass: starting at (row, col)
// and going on in the order of the pass (rows 0..18 downward, columns left to
// right), the first tile with an empty cell below it. Returns false when the
// pass has nothing left to move. The board is read afresh at every call, so
// a caller that changes it between steps is seen.
bool next_fall(const Cells board, int &row, int &col);

// The number of columns that hold a dead tile: once all of them do, the
// breeding step finds the game lost.
int dead_columns(const Cells board);

// Toolkit symbol digit of the arrow for each direction, clockwise from up.
extern const int arrow_cycle[8];

// The cell an arrow points at; false when it points off the board.
bool arrow_neighbour(int row, int col, int direction, int &to_row, int &to_col);

// Parses the level argument of the command line: a decimal number clamped to
// 0..3, 0 for text that does not start with one, 1 with no argument.
int parse_level(const char *arg);

const char *level_name(int difficulty);

// One breeding draw for an empty top cell, from drand48: the new colour, or
// CELL_EMPTY when Easy's chance fails (a chance of 0.4 is drawn first, then
// the colour only when it succeeds).
int breed_draw(int difficulty);
