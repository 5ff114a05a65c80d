// What the game says aloud: plain functions over the board and the game's
// numbers, in English. Each sentence is written in one place, in
// speech_texts.cpp, so that a translation can wrap each one.
#pragma once

#include <string>

#include "hint.h"
#include "rules.h"
#include "records.h"
#include "top_scores.h"

// The word for a cell value: one of the twelve colours' names, "empty" or
// "dead".
const char *cell_word(int value);
// An arrow's direction (0..7, clockwise from up) in words: "up right".
const char *direction_words(int direction);
// "row R, column C", counted from 1 at the top left.
std::string place_text(int row, int col);
// What a cell holds: "red", or "red, up right" with arrows (directions
// given, arrow mode), "empty", "dead".
std::string content_text(const Cells board, const Cells *directions, int row, int col);
// The focus on a cell: its place, unless left out, then what it holds.
std::string cell_text(const Cells board, const Cells *directions, int row, int col,
                      bool with_place);
// A whole row, left to right, or a whole column, top to bottom.
std::string row_text(const Cells board, const Cells *directions, int row);
std::string column_text(const Cells board, const Cells *directions, int col);

// The empty cells of the top row.
int empty_top_cells(const Cells board);
// What a settled move did: the tiles cleared (or "no match"), the move
// count unless brief, and the room left in the top row.
std::string move_text(int cleared, int moves, const Cells board, bool brief);
// The game as it stands: level, mode, moves, room in the top row.
std::string status_text(int level, bool arrows, int moves, const Cells board);
std::string new_game_text(int level, bool arrows);
// A hint's two cells; "No swap clears" without one.
std::string hint_text(const HintSwap *hint);
// The game's result, as the result button shows it, and the moves it took.
std::string result_text(bool won, int moves);
// A message dialog: its text, and how to answer it when it asks for one.
std::string dialog_text(const char *message, bool asks_text);
// The top-scores table as a list, best first.
std::string scores_text(const ScoreEntry *scores, int count);
// A page of the player's records (records.h): its statistics, then its best
// wins.
std::string records_page_text(const RecordPage &page, int number);

// The fixed sentences.
extern const char *const SPEECH_ON_TEXT;
extern const char *const MOVE_TAKEN_BACK_TEXT;
extern const char *const FULL_SPEECH_TEXT;
extern const char *const BRIEF_SPEECH_TEXT;
extern const char *const NOTHING_SAID_TEXT;
// Shown in the window, not said: speech was asked for without the service.
extern const char *const SPEECH_MISSING_TEXT;
