// The Hint command: two tiles marked whose swap clears tiles now.
#include "hint_command.h"
#include "language.h"

#include <initializer_list>

#include "board.h"
#include "busy_state.h"
#include "hint.h"

// The first tile of the hint whose marks show, or null.
static VarnelButton *hinted_first_tile(Varnel &game) {
  for (auto &row : game.buttons)
    for (VarnelButton *tile : row)
      if (tile->hinted && tile->hint_first) return tile;
  return nullptr;
}

// The tile to act on first, and its partner. In arrow mode the first one's
// arrow has to point at the partner: where it does not yet, the first shows
// the direction to turn it to.
static void mark_hint(VarnelButton *first, VarnelButton *second, bool arrows) {
  int towards = -1;
  for (int d = 0; d < 8; d++) {
    int r, c;
    if (arrow_neighbour(first->row, first->col, d, r, c) && r == second->row && c == second->col)
      towards = d;
  }
  first->hint_first = true;
  first->hint_direction = arrows && first->direction != towards ? towards : -1;
  second->hint_first = false;
  second->hint_direction = -1;
  for (VarnelButton *tile : {first, second}) {
    tile->hinted = true;
    tile->redraw();
  }
}

void show_hint(Varnel &game) {
  if (board_busy()) return;
  // Asked again while its marks still show, for the same board: free.
  if (VarnelButton *shown = hinted_first_tile(game)) {
    if (VarnelButton::keys_used()) shown->take_focus();
    return;
  }
  // The hint's move is kept with the game when this ends, as a move's is.
  BoardBusy busy;
  Cells directions;
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++)
      directions[r][c] = game.buttons[r][c]->direction;
  HintSwap hint;
  if (!find_hint(game.board, game.arrow_mode == 1 ? &directions : nullptr, hint)) {
    game.show_move_count(_("No swap clears"));
    return;
  }
  game.clear_hint();
  VarnelButton *first = game.buttons[hint.row][hint.col];
  mark_hint(first, game.buttons[hint.to_row][hint.to_col], game.arrow_mode == 1);
  if (VarnelButton::keys_used()) first->take_focus();
  game.count_move();
}
