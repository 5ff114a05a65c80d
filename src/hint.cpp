// Finding a swap that clears tiles now, for the Hint command.
#include "hint.h"

#include <cstring>
#include <utility>

// Whether swapping the two cells of `cells` makes a match through either of
// them (on a board at rest there is no other); `cells` is left as it was.
static bool swap_clears(Cells cells, int row, int col, int to_row, int to_col) {
  int &a = cells[row][col], &b = cells[to_row][to_col];
  if (!is_playable(a) || !is_playable(b) || a == b) return false;
  std::swap(a, b);
  bool clears = in_match(cells, row, col) || in_match(cells, to_row, to_col);
  std::swap(a, b);
  return clears;
}

bool find_hint(const Cells board, const Cells *directions, HintSwap &hint) {
  Cells cells;
  memcpy(cells, board, sizeof cells);
  bool found = false;
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++)
      for (int d = 0; d < 8; d++) {
        int to_r, to_c;
        if (!arrow_neighbour(r, c, d, to_r, to_c) || !swap_clears(cells, r, c, to_r, to_c))
          continue;
        bool pointed = directions && (*directions)[r][c] == d;
        if (!found || pointed) hint = {r, c, to_r, to_c};
        found = true;
        if (!directions || pointed) return true;
      }
  return found;
}
