// Counting the game on the board into the player's records.
#include "game_tally.h"

#include <ctime>

#include "deal.h"
#include "game_record.h"
#include "kept_game.h"
#include "records.h"
#include "records_file.h"

GameTally new_tally(long deal, int difficulty, bool arrow_mode) {
  GameTally tally;
  tally.deal = deal;
  tally.page = record_page(difficulty, arrow_mode);
  return tally;
}

// Hands the result over and marks the game counted.
static void count(GameTally &tally, RecordEvent event, int moves = 0) {
  RecordResult result;
  result.event = event;
  result.page = tally.page;
  result.counted = tally.state != TALLY_NEW;
  result.win.moves = moves;
  result.win.date = (long long)time(nullptr);
  result.win.deal = tally.deal;
  record_result(result);
  tally.state = event == EVENT_PLAYED ? TALLY_PLAYED : TALLY_ENDED;
}

void tally_move(GameTally &tally) {
  if (tally.state == TALLY_NEW) count(tally, EVENT_PLAYED);
}

void tally_won(GameTally &tally, bool forced, int moves) {
  if (tally.state != TALLY_ENDED) count(tally, forced ? EVENT_ABANDONED : EVENT_WON, moves);
}

void tally_lost(GameTally &tally) {
  if (tally.state != TALLY_ENDED) count(tally, EVENT_LOST);
}

void tally_abandoned(GameTally &tally, int moves) {
  if (tally.state == TALLY_PLAYED || (tally.state == TALLY_NEW && moves > 0))
    count(tally, EVENT_ABANDONED);
}

void keep_tally(GameRecord &game, const GameTally &tally) {
  game.deal = tally.deal;
  game.counted = tally.state;
  DealState state = generator_state();
  game.generator_known = true;
  for (int i = 0; i < 3; i++)
    game.generator[i] = state.x[i];
}

// The tally a kept game was kept with.
static GameTally kept_tally(const GameRecord &game) {
  GameTally tally = new_tally(game.deal, game.difficulty, game.arrow_mode);
  tally.state = game.counted;
  return tally;
}

GameTally restore_tally(const GameRecord &game) {
  GameTally tally = kept_tally(game);
  if (game.generator_known)
    restore_generator({{game.generator[0], game.generator[1], game.generator[2]}});
  return tally;
}

void abandon_kept_game() {
  GameRecord kept;
  if (!load_kept_game(&kept)) return;
  GameTally tally = kept_tally(kept);
  tally_abandoned(tally, kept.moves);
}
