// Undo on the board.
#pragma once

#include "board.h"
#include "game_record.h"

// Takes the last move back: the board as that move found it, with the
// result that showed on it, nothing selected. The move counter stays
// (every move made counts), and so do the random draws. Nothing while a
// board operation runs, or with no move to take back.
void undo_move(Varnel *board);

// Shows state on the board, without a deal or a sound: the tiles, their
// arrows and the result; nothing selected or hinted, the move box showing
// the count.
void show_board_state(Varnel *board, const BoardState &state);
