// The game that a new game replaced, which Undo brings back.
#include "replaced_game.h"

#include "board.h"
#include "board_game.h"
#include "busy_state.h"
#include "game_tally.h"

static GameRecord held;
static bool holding = false;

void hold_replaced_game(const Varnel *board, int difficulty) {
  if (board_busy() || board->moves == 0 || board->result_button->visible()) return;
  held = board_game(board, difficulty);
  // The new game counts this one abandoned: brought back, it keeps its deal
  // and generator, and nothing it does counts in the records any more.
  GameTally tally = board->tally;
  if (tally.state == TALLY_PLAYED) tally.state = TALLY_ENDED;
  keep_tally(held, tally);
  holding = true;
}

bool take_replaced_game(GameRecord *game) {
  if (!holding) return false;
  *game = held;
  held = GameRecord();
  holding = false;
  return true;
}
