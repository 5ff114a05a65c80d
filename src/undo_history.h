// The undo history: the board as each move of the game found it.
#pragma once

#include <deque>

#include "game_record.h"
#include "tile.h"

typedef std::deque<BoardState> UndoHistory;

// The cells and the tiles' arrow directions as they are now.
BoardState board_state(const Cells board, VarnelButton *(*tiles)[BOARD_COLS]);

// A move begins: the board as it stands, with the result showing on it, is
// kept for Undo, the oldest past UNDO_LIMIT dropped. A move made in the
// middle of another's resolution, on a board that has not settled, keeps
// nothing: taken back, it goes with the move it interrupted.
void remember_move(UndoHistory &undo, const Cells board, VarnelButton *(*tiles)[BOARD_COLS],
                   int result);
