// Finding a swap that clears tiles now, for the Hint command.
#pragma once

#include "rules.h"

// Two neighbouring tiles: in arrow mode the first is the one to click, its
// arrow pointing at the second.
struct HintSwap {
  int row, col;
  int to_row, to_col;
};

// Finds two neighbouring coloured tiles (diagonals count) whose swap makes a
// match on the board as it stands. Given the tiles' arrow directions (arrow
// mode), a tile whose arrow already points at its partner comes first, so
// that no turn is needed. Reads the board only; false when no swap clears
// anything.
bool find_hint(const Cells board, const Cells *directions, HintSwap &hint);
