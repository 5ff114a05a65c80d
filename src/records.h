// The player's own records: per level and mode, the ten best wins and the
// statistics of the games played, and their text.
#pragma once

#include <string>
#include <vector>

// One page per level and mode: 2 * level + 1 in arrow mode.
const int RECORD_PAGES = 8;
// The best wins kept on each page.
const int BEST_WINS = 10;

inline int record_page(int difficulty, bool arrow_mode) {
  return 2 * (difficulty < 0 || difficulty > 3 ? 1 : difficulty) + (arrow_mode ? 1 : 0);
}

struct WinRow {
  int moves = 0;
  long long date = 0; // when it was won, in seconds since 1970 (UTC)
  long deal = -1;     // its deal number, -1 when not known
  bool operator==(const WinRow &o) const {
    return moves == o.moves && date == o.date && deal == o.deal;
  }
};

struct RecordPage {
  int played = 0, won = 0;
  int streak = 0, longest = 0; // wins in a row: now, and the most ever
  long long win_moves = 0;     // the moves of every win, added up
  std::vector<WinRow> best;    // fewest moves first; the older first among equals
};

struct Records {
  RecordPage pages[RECORD_PAGES];
};

// What a result does to the records.
enum RecordEvent {
  EVENT_PLAYED,    // a game's first move: it counts as played
  EVENT_WON,       // a game won
  EVENT_LOST,      // a game lost
  EVENT_ABANDONED, // a game left unfinished, or won by the Win command
  EVENT_RESET      // Reset Records: every page empty again
};

struct RecordResult {
  RecordEvent event = EVENT_PLAYED;
  int page = 0;
  bool counted = true; // the game counted as played already
  WinRow win;          // for EVENT_WON
};

// Applies a result. An end of a game that was not counted as played counts
// it first.
void apply_result(Records &records, const RecordResult &result);

// The largest text records can have; a longer file is not records.
const size_t RECORDS_TEXT_MAX_BYTES = 8192;

// The text: a version line; for each page in order a line of its
// statistics, then one line per best win; and "end".
std::string records_text(const Records &records);
// Reads records' text; false, with records untouched, unless it is whole
// and every value in range.
bool read_records_text(const std::string &text, Records *records);
