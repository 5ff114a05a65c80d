// Undo on the board, and the board to and from a game kept between runs.
#pragma once

#include "board.h"
#include "game_record.h"

// Takes the last move back: the board as that move found it, nothing
// selected, no result shown. The move counter stays (every move made
// counts), and so do the random draws. Nothing while a board operation
// runs, or with no move to take back.
void undo_move(Varnel *board);

// The game on the board, at this level.
GameRecord board_game(const Varnel *board, int difficulty);

// Puts a kept game on the board as it was, without a deal or a sound: the
// tiles, arrow mode, the move counter and its box, the undo history.
void restore_board_game(Varnel *board, const GameRecord &game);
