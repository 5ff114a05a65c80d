// Whether the next move can lose: a warning for the player.
#include "top_row.h"

bool top_row_full(const Cells board) {
  for (int c = 0; c < BOARD_COLS; c++)
    if (board[0][c] == CELL_EMPTY) return false;
  return true;
}
