// What the player's records know of the game on the board: its deal, its
// page, and whether it has been counted. A game counts as played once its
// first move has been made (the move counter's first step, or a win made
// by that move), and it ends once: won, lost, or abandoned (a new game
// dealt over it, or the Win command). What happens to it after its end
// (Undo, a later win) counts no more. A game kept between runs is the same
// game.
#pragma once

enum TallyState {
  TALLY_NEW = 0,    // no move counted yet
  TALLY_PLAYED = 1, // counted as played
  TALLY_ENDED = 2   // its end counted
};

struct GameTally {
  long deal = -1; // its deal number, -1 when not known
  int page = 2;   // its level and mode (records.h)
  int state = TALLY_NEW;
};

// A new game of this deal, level and mode begins on the board.
GameTally new_tally(long deal, int difficulty, bool arrow_mode);

// The move counter went up.
void tally_move(GameTally &tally);

// The board's breeding step found the game won (forced: by the Win
// command) or lost, with these moves counted.
void tally_won(GameTally &tally, bool forced, int moves);
void tally_lost(GameTally &tally);

// A new game replaces this one, which has made `moves` moves: if it was
// played and has not ended, it is abandoned.
void tally_abandoned(GameTally &tally, int moves);

struct GameRecord;

// The deal number, the generator's state and the count, kept with a game
// between runs; and put back with it: the generator then draws on as it
// would have without the quit. An older version's game has none of them:
// its deal is unknown and the generator keeps its seed from the clock.
void keep_tally(GameRecord &game, const GameTally &tally);
GameTally restore_tally(const GameRecord &game);

// A start with a level or a deal on the command line deals a new game over
// the one kept from the last run: that one is abandoned.
void abandon_kept_game();
