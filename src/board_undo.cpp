// Undo on the board.
#include "board_undo.h"

#include "busy_state.h"

// Directions first, so that each arrow drawn is its tile's own.
void show_board_state(Varnel *board, const BoardState &state) {
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++) {
      board->buttons[r][c]->direction = state.directions[r][c];
      board->Array(r, c, state.cells[r][c]);
    }
  board->clear_selection();
  board->clear_hint();
  board->show_result(state.result);
  // The count, also where a hint's "No swap clears" stood.
  board->show_move_count();
  board->redraw();
}

void undo_move(Varnel *board) {
  if (board_busy() || board->undo.empty()) return;
  // The game is kept anew once this ends, as after a move.
  BoardBusy busy;
  BoardState before = board->undo.back();
  board->undo.pop_back();
  show_board_state(board, before);
}
