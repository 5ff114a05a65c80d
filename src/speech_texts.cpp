// What the game says aloud, in English, each sentence in one place.
#include "speech_texts.h"

#include <cstdio>

// One word each, and words that sound unlike, for the colours dealt side
// by side on the board: the first four (Easy) differ in their first sound.
static const char *const COLOUR_WORDS[12] = {"red",   "purple", "green", "blue", "sand", "teal",
                                             "peach", "lime",   "pink",  "sky",  "mint", "orange"};
static const char *const EMPTY_WORD = "empty";
static const char *const DEAD_WORD = "dead";
static const char *const DIRECTION_WORDS[8] = {"up",   "up right",  "right", "down right",
                                               "down", "down left", "left",  "up left"};

const char *const SPEECH_ON_TEXT = "Speech on";
const char *const MOVE_TAKEN_BACK_TEXT = "Move taken back";
const char *const FULL_SPEECH_TEXT = "Full speech";
const char *const BRIEF_SPEECH_TEXT = "Brief speech";
const char *const NOTHING_SAID_TEXT = "Nothing said yet";
// On lines of their own: the dialog is as wide as its longest line.
const char *const SPEECH_MISSING_TEXT =
    "Speech needs the desktop's speech service, speech-dispatcher,\n"
    "which is not installed. Install its packages:\n\n"
    "    sudo apt install speech-dispatcher speech-dispatcher-espeak-ng\n\n"
    "then turn Speech on again.";

// snprintf into a std::string of at most 255 bytes, for the sentences with
// numbers in them.
template <class... Args> static std::string sentence(const char *pattern, Args... args) {
  char text[256];
  snprintf(text, sizeof text, pattern, args...);
  return text;
}

const char *cell_word(int value) {
  if (value >= 0 && value < 12) return COLOUR_WORDS[value];
  return value == CELL_EMPTY ? EMPTY_WORD : DEAD_WORD;
}

const char *direction_words(int direction) {
  return DIRECTION_WORDS[direction & 7];
}

std::string place_text(int row, int col) {
  return sentence("row %d, column %d", row + 1, col + 1);
}

std::string content_text(const Cells board, const Cells *directions, int row, int col) {
  int value = board[row][col];
  if (!directions || !is_playable(value)) return cell_word(value);
  return sentence("%s, %s", cell_word(value), direction_words((*directions)[row][col]));
}

std::string cell_text(const Cells board, const Cells *directions, int row, int col,
                      bool with_place) {
  std::string content = content_text(board, directions, row, col);
  return with_place ? place_text(row, col) + ", " + content : content;
}

// One line of cells, read in order, with the arrow after each colour.
static std::string line_text(std::string text, const Cells board, const Cells *directions, int row,
                             int col, int row_step, int col_step) {
  for (int i = 0; i < BOARD_ROWS; i++, row += row_step, col += col_step)
    text += (i ? "; " : ": ") + content_text(board, directions, row, col);
  return text;
}

std::string row_text(const Cells board, const Cells *directions, int row) {
  return line_text(sentence("Row %d", row + 1), board, directions, row, 0, 0, 1);
}

std::string column_text(const Cells board, const Cells *directions, int col) {
  return line_text(sentence("Column %d", col + 1), board, directions, 0, col, 1, 0);
}

int empty_top_cells(const Cells board) {
  int empty = 0;
  for (int c = 0; c < BOARD_COLS; c++)
    empty += board[0][c] == CELL_EMPTY;
  return empty;
}

static std::string top_row_text(const Cells board) {
  int empty = empty_top_cells(board);
  if (empty == 0) return "top row full";
  return empty == 1 ? "1 empty cell in the top row"
                    : sentence("%d empty cells in the top row", empty);
}

std::string move_text(int cleared, int moves, const Cells board, bool brief) {
  std::string text = cleared == 0   ? "no match"
                     : cleared == 1 ? "1 tile cleared"
                                    : sentence("%d tiles cleared", cleared);
  if (!brief) text += sentence(", move %d", moves);
  return text + ", " + top_row_text(board);
}

std::string status_text(int level, bool arrows, int moves, const Cells board) {
  std::string count = moves == 1 ? "1 move" : sentence("%d moves", moves);
  return sentence("%s, %s, ", level_name(level), arrows ? "arrow mode" : "swap mode") + count +
         ", " + top_row_text(board);
}

std::string new_game_text(int level, bool arrows) {
  return sentence(arrows ? "New game, %s, arrow mode" : "New game, %s", level_name(level));
}

std::string hint_text(const HintSwap *hint) {
  if (!hint) return "No swap clears";
  return "Hint: " + place_text(hint->row, hint->col) + ", with " +
         place_text(hint->to_row, hint->to_col);
}

std::string result_text(bool won, int moves) {
  return sentence(won ? "You Win! %d moves" : "You Lose. %d moves", moves);
}

std::string dialog_text(const char *message, bool asks_text) {
  return std::string(message) + (asks_text ? ". Type it, then press Enter" : "");
}

std::string records_page_text(const RecordPage &page, int number) {
  std::string text =
      sentence("Records, %s%s", level_name(number / 2), number % 2 ? ", arrow mode" : "");
  if (page.played == 0) return text + ": no games played yet";
  text += sentence(": %d played, %d won, %d percent; streak %d, longest %d", page.played, page.won,
                   (int)(page.won * 100LL / page.played), page.streak, page.longest);
  for (size_t i = 0; i < page.best.size(); i++)
    text += sentence(page.best[i].moves == 1 ? "; %d, %d move" : "; %d, %d moves", (int)i + 1,
                     page.best[i].moves);
  return text;
}

std::string scores_text(const ScoreEntry *scores, int count) {
  if (count == 0) return "Top scores: no scores yet";
  std::string text = "Top scores";
  for (int i = 0; i < count; i++)
    text += sentence(scores[i].moves == 1 ? "; %d, %s, %s, %d move" : "; %d, %s, %s, %d moves",
                     i + 1, scores[i].name, mode_text(scores[i].mode), scores[i].moves);
  return text;
}
