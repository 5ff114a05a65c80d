// Deal numbers: the seed a game's deal and all its breeding are drawn from,
// the generator's state between runs, and the day's deal.
#pragma once

#include <ctime>
#include <string>

#include "rules.h"

// srand48 takes the low 32 bits of its seed: these are all the deals there
// are. A new game's number is the clock's seconds, as the seed always was.
const long DEAL_MAX = 4294967295L;
// A deal number not known: a game kept by an older version.
const long DEAL_UNKNOWN = -1;

// Seeds the generator for a new game with the deal number wanted, or from
// the clock when it is DEAL_UNKNOWN, and returns the number; wanted is
// DEAL_UNKNOWN again after, so the next game takes the clock's. The tiles'
// arrow directions are drawn first, one per tile in row-major order, then
// the generator is seeded again: the cells and all the breeding that
// follows draw exactly as they always did from that seed.
long seed_deal(long &wanted, int directions[BOARD_ROWS][BOARD_COLS]);

// Reads a deal number typed by the player or given on the command line:
// a plain decimal number from 0 to DEAL_MAX, blanks around it allowed.
// Returns "" and sets number, or says what is wrong with the text.
std::string read_deal_number(const char *text, long &number);

// The day's deal: the UTC date at `when` written as the number YYYYMMDD,
// so everyone plays the same one on the same day.
long todays_deal(time_t when);

// The generator's whole state (drand48's 48 bits), and putting it back: a
// game kept between runs breeds on as if the program had never ended.
struct DealState {
  unsigned short x[3];
};
DealState generator_state();
void restore_generator(const DealState &state);

// The main window's title for a game of this deal.
std::string deal_title(long deal);
