// The unfinished game kept between runs, in $XDG_STATE_HOME/varnel/game.
// By default ~/.local/state/varnel/game, in the text of game_record.h.
#pragma once

#include <string>

#include "game_record.h"

// Where the kept game is, or "" when neither an absolute XDG_STATE_HOME nor
// an absolute HOME is set.
std::string kept_game_path();

// Reads the kept game: false when there is none. Only a regular file of the
// player's, in a directory of theirs alone, not through a link, is read, and
// no more of it than a game can take; anything else found under the name
// (garbled, truncated, too large, unreadable, another user's, a FIFO, a
// directory, a link) is moved aside to game.bad, and not read.
bool load_kept_game(GameRecord *game);

// Keeps text as the game: a new file renamed over the old one, so that a
// kill at any moment leaves one whole game, and the last copy of the game
// to keep one wins. Not synced to the disk: this runs after every move.
// The file is written by a thread of its own; this returns at once. Text
// last asked for is not written again. Where the state directory cannot be
// written, one line on standard error says so, once.
void keep_game_text(const std::string &text);

// No game is kept any more: the next start deals a new one.
void forget_kept_game();

// Waits until the file is as last asked for: before the program ends, and
// before reading the file back.
void finish_keeping_game();
