// Undo on the board, and the board to and from a game kept between runs.
#include "board_undo.h"

#include "busy_state.h"

// Shows state on the board: directions first, so that each arrow drawn is
// its tile's own.
static void show_state(Varnel *board, const BoardState &state) {
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++) {
      board->buttons[r][c]->direction = state.directions[r][c];
      board->Array(r, c, state.cells[r][c]);
    }
  board->clear_selection();
  board->clear_hint();
  board->result_button->withdraw();
  // The count, also where a hint's "No swap clears" stood.
  board->show_move_count();
  global_win = 0;
  board->redraw();
}

void undo_move(Varnel *board) {
  if (board_busy() || board->undo.empty()) return;
  // The game is kept anew once this ends, as after a move.
  BoardBusy busy;
  BoardState before = board->undo.back();
  board->undo.pop_back();
  show_state(board, before);
}

GameRecord board_game(const Varnel *board, int difficulty) {
  GameRecord game;
  game.board = board_state(board->board, (VarnelButton * (*)[BOARD_COLS]) board->buttons);
  game.moves = board->moves;
  game.difficulty = difficulty;
  game.arrow_mode = board->arrow_mode == 1;
  game.undo = board->undo;
  return game;
}

void restore_board_game(Varnel *board, const GameRecord &game) {
  board->arrow_mode = game.arrow_mode ? 1 : 0;
  board->moves = game.moves;
  show_state(board, game.board);
  board->undo = game.undo;
}
