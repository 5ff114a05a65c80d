// Whether the next move can lose: a warning for the player.
#pragma once

#include "rules.h"
#include "language.h"

// The text that warns of a loss at the next move that clears nothing: the
// top row is full, so its breeding step finds no empty cell.
const char *const TOP_ROW_WARNING = N_("Top row full");

// Whether a move that clears nothing loses on this board, at rest: no cell of
// the top row is empty. (A move that clears something lets a column fall,
// which empties its top cell.)
bool top_row_full(const Cells board);
