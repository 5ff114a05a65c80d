// The Hint command: two tiles marked whose swap clears tiles now.
#include "hint_command.h"

#include <initializer_list>

#include "board.h"
#include "busy_state.h"
#include "hint.h"

void show_hint(Varnel &game) {
  if (board_busy()) return;
  // The hint's move is kept with the game when this ends, as a move's is.
  BoardBusy busy;
  Cells directions;
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++)
      directions[r][c] = game.buttons[r][c]->direction;
  HintSwap hint;
  if (!find_hint(game.board, game.arrow_mode == 1 ? &directions : nullptr, hint)) {
    game.show_move_count("No swap clears");
    return;
  }
  game.clear_hint();
  VarnelButton *first = game.buttons[hint.row][hint.col];
  for (VarnelButton *tile : {first, game.buttons[hint.to_row][hint.to_col]}) {
    tile->hinted = true;
    tile->redraw();
  }
  if (VarnelButton::keys_used()) first->take_focus();
  game.count_move();
}
