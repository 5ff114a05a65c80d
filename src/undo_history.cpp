// The undo history: keeping the board as each move finds it.
#include "undo_history.h"

BoardState board_state(const Cells board, VarnelButton *(*tiles)[BOARD_COLS]) {
  BoardState state;
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++) {
      state.cells[r][c] = (signed char)board[r][c];
      state.directions[r][c] = (signed char)tiles[r][c]->direction;
    }
  return state;
}

void remember_move(UndoHistory &undo, const Cells board, VarnelButton *(*tiles)[BOARD_COLS],
                   int result) {
  Cells marks;
  int row = 0, col = 0;
  if (next_fall(board, row, col) || mark_matches(board, marks) > 0) return;
  undo.push_back(board_state(board, tiles));
  undo.back().result = (signed char)result;
  while (undo.size() > (size_t)UNDO_LIMIT)
    undo.pop_front();
}
