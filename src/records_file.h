// The player's records file, $XDG_DATA_HOME/varnel/records (by default
// ~/.local/share/varnel/records), in the text of records.h.
#pragma once

#include <string>

#include "records.h"

// Where the records are, or "" when neither an absolute XDG_DATA_HOME nor
// an absolute HOME is set.
std::string records_path();

// Hands a result over to be written; returns at once. A thread of its own
// takes the directory's lock, reads the file as it is now (other copies of
// the game may have written it), applies every result handed over since,
// and replaces the file whole, synced, so no copy ever loses another's
// result. A file that is not records of the player's (garbled, too large,
// another user's, not a regular file, a link) is moved aside to
// records.bad first, never deleted, and the records start empty. Where the
// directory cannot be written, one line on standard error says so, once,
// and the results wait to be written with the next.
void record_result(const RecordResult &result);

// The records as they are now: the file as read at this moment, with the
// results handed over and not yet written applied to it.
Records current_records();

// The newest win this run has recorded, and its page (-1: none yet).
WinRow newest_win(int &page);

// Waits, up to about two seconds, until every result handed over is in the
// file (or could not be): before the program ends. False when the writer
// is still at work.
bool finish_keeping_records();
