// The board to and from a game kept between runs.
#include "board_game.h"

#include "board_undo.h"

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
  show_board_state(board, game.board);
  board->undo = game.undo;
}
