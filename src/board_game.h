// The board to and from a game kept between runs.
#pragma once

#include "board.h"
#include "game_record.h"

// The game on the board, at this level.
GameRecord board_game(const Varnel *board, int difficulty);

// Puts a kept game on the board as it was, without a deal or a sound: the
// tiles, arrow mode, the move counter and its box, the undo history.
void restore_board_game(Varnel *board, const GameRecord &game);
