// The unfinished game kept between runs, in $XDG_STATE_HOME/varnel/game.
// By default ~/.local/state/varnel/game, in the text of game_record.h.
#pragma once

#include <string>

#include "game_record.h"

// Reads the kept game: false when there is none. Only a regular file of the
// player's, in a directory of theirs alone, not through a link, is read, and
// no more of it than a game can take; anything else found under the name
// (garbled, truncated, too large, unreadable, another user's, a FIFO, a
// directory, a link) is moved aside to game.bad, and not read.
bool load_kept_game(GameRecord *game);

// Keeps text as the game: a new file, synced to the disk, renamed over the
// old one, so that a kill or a power cut at any moment leaves one whole
// game, and the last copy of the game to keep one wins. The file is written
// by a thread of its own; this returns at once. Text last asked for is not
// written again. The first write of a run removes the copies that killed
// runs left half made. Where the state directory cannot be written, one
// line on standard error says so, once.
void keep_game_text(const std::string &text);

// No game is kept any more: the next start deals a new one.
void forget_kept_game();

// Waits until the file is as last asked for: before the program ends, and
// before reading the file back. A stalled disk (a network home that hangs)
// must not hold the end for ever: past about two seconds this gives up and
// returns false, and the file holds the last game written whole.
bool finish_keeping_game();
