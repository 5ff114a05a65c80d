// One game as it is kept between runs, and its text.
#pragma once

#include <deque>
#include <string>

#include "rules.h"

// The board as a move found it: each cell's value and its tile's arrow
// direction (directions travel with the tiles, also through empty cells),
// and the result showing on it (1 a win, -1 a loss, 0 none). The result is
// not in a game's text: a game is kept only while no result shows, and a
// result shows until a new game, so no board of a kept game has one.
struct BoardState {
  signed char cells[BOARD_ROWS][BOARD_COLS];
  signed char directions[BOARD_ROWS][BOARD_COLS];
  signed char result = 0;
};

// Undo goes back this many moves at most: the oldest is dropped past it.
const int UNDO_LIMIT = 200;

struct GameRecord {
  BoardState board;
  int moves = 0;
  int difficulty = 1;
  bool arrow_mode = false;
  std::deque<BoardState> undo; // the board before each move, oldest first
  // Written by this version, unknown in a game of an older one: the deal
  // number (-1 unknown), the random generator's state, and how far the
  // player's records have counted the game (game_tally.h).
  long deal = -1;
  bool generator_known = false;
  unsigned short generator[3] = {0, 0, 0};
  int counted = 0;
};

// The largest text a game can have; a longer file is not one.
const size_t GAME_TEXT_MAX_BYTES = (UNDO_LIMIT + 1) * BOARD_ROWS * (2 * BOARD_COLS + 1) + 256;

// The text of a game: a version line, the level, arrow mode and the move
// count, the board, and the undo history, each board as 20 lines of a
// letter and a digit per cell; then, where known, the deal number, the
// generator's state and the records' count, each a line that an older
// game's text lacks.
std::string game_text(const GameRecord &game);
// Reads a game's text; false, with game untouched, unless it is whole and
// every value in range.
bool read_game_text(const std::string &text, GameRecord *game);
