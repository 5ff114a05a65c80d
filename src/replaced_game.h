// The game that a new game replaced, which Undo brings back.
#pragma once

#include "game_record.h"

class Varnel;

// A new game is about to replace the one on the board, at this level: a
// game with moves made, and no result shown, is held, with its undo
// history, in place of any held before. A game without moves leaves the one
// held before, so that a second new game by mistake loses nothing either.
// Nothing is held from a board in the middle of a move.
void hold_replaced_game(const Varnel *board, int difficulty);

// Takes the game held: false when there is none.
bool take_replaced_game(GameRecord *game);
