// What the game says aloud, each sentence in one place.
#include "speech_texts.h"
#include "language.h"

#include <cstdio>

// One word each, and words that sound unlike, for the colours dealt side
// by side on the board: the first four (Easy) differ in their first sound.
static const char *const COLOUR_WORDS[12] = {N_("red"),  N_("purple"), N_("green"), N_("blue"),
                                             N_("sand"), N_("teal"),   N_("peach"), N_("lime"),
                                             N_("pink"), N_("sky"),    N_("mint"),  N_("orange")};
static const char *const EMPTY_WORD = N_("empty");
static const char *const DEAD_WORD = N_("dead");
static const char *const DIRECTION_WORDS[8] = {N_("up"),         N_("up right"), N_("right"),
                                               N_("down right"), N_("down"),     N_("down left"),
                                               N_("left"),       N_("up left")};

const char *const SPEECH_ON_TEXT = N_("Speech on");
const char *const MOVE_TAKEN_BACK_TEXT = N_("Move taken back");
const char *const FULL_SPEECH_TEXT = N_("Full speech");
const char *const BRIEF_SPEECH_TEXT = N_("Brief speech");
const char *const NOTHING_SAID_TEXT = N_("Nothing said yet");
// On lines of their own: the dialog is as wide as its longest line.
const char *const SPEECH_MISSING_TEXT =
    N_("Speech needs the desktop's speech service, speech-dispatcher,\n"
       "which is not installed. Install its packages:\n\n"
       "    sudo apt install speech-dispatcher speech-dispatcher-espeak-ng\n\n"
       "then turn Speech on again.");

// snprintf into a std::string of at most 255 bytes, for the sentences with
// numbers in them.
template <class... Args> static std::string sentence(const char *pattern, Args... args) {
  char text[256];
  snprintf(text, sizeof text, pattern, args...);
  return text;
}

const char *cell_word(int value) {
  if (value >= 0 && value < 12) return _(COLOUR_WORDS[value]);
  return value == CELL_EMPTY ? _(EMPTY_WORD) : _(DEAD_WORD);
}

const char *direction_words(int direction) {
  return _(DIRECTION_WORDS[direction & 7]);
}

std::string place_text(int row, int col) {
  return sentence(_("row %d, column %d"), row + 1, col + 1);
}

std::string content_text(const Cells board, const Cells *directions, int row, int col) {
  int value = board[row][col];
  if (!directions || !is_playable(value)) return cell_word(value);
  return sentence(_("%s, %s"), cell_word(value), direction_words((*directions)[row][col]));
}

std::string cell_text(const Cells board, const Cells *directions, int row, int col,
                      bool with_place) {
  std::string content = content_text(board, directions, row, col);
  return with_place ? sentence(_("%s, %s"), place_text(row, col).c_str(), content.c_str())
                    : content;
}

// One line of cells, read in order, with the arrow after each colour.
static std::string line_text(std::string text, const Cells board, const Cells *directions, int row,
                             int col, int row_step, int col_step) {
  for (int i = 0; i < BOARD_ROWS; i++, row += row_step, col += col_step)
    text += (i ? "; " : ": ") + content_text(board, directions, row, col);
  return text;
}

std::string row_text(const Cells board, const Cells *directions, int row) {
  return line_text(sentence(_("Row %d"), row + 1), board, directions, row, 0, 0, 1);
}

std::string column_text(const Cells board, const Cells *directions, int col) {
  return line_text(sentence(_("Column %d"), col + 1), board, directions, 0, col, 1, 0);
}

int empty_top_cells(const Cells board) {
  int empty = 0;
  for (int c = 0; c < BOARD_COLS; c++)
    empty += board[0][c] == CELL_EMPTY;
  return empty;
}

static std::string top_row_text(const Cells board) {
  int empty = empty_top_cells(board);
  if (empty == 0) return _("top row full");
  return sentence(ngettext("%d empty cell in the top row", "%d empty cells in the top row", empty),
                  empty);
}

std::string move_text(int cleared, int moves, const Cells board, bool brief) {
  std::string text =
      cleared == 0 ? std::string(_("no match"))
                   : sentence(ngettext("%d tile cleared", "%d tiles cleared", cleared), cleared);
  if (!brief) text = sentence(_("%s, move %d"), text.c_str(), moves);
  return sentence(_("%s, %s"), text.c_str(), top_row_text(board).c_str());
}

std::string status_text(int level, bool arrows, int moves, const Cells board) {
  std::string count = sentence(ngettext("%d move", "%d moves", moves), moves);
  return sentence(_("%s, %s, %s, %s"), level_name(level), arrows ? _("arrow mode") : _("swap mode"),
                  count.c_str(), top_row_text(board).c_str());
}

std::string new_game_text(int level, bool arrows) {
  return sentence(arrows ? _("New game, %s, arrow mode") : _("New game, %s"), level_name(level));
}

std::string hint_text(const HintSwap *hint) {
  if (!hint) return _("No swap clears");
  return sentence(_("Hint: %s, with %s"), place_text(hint->row, hint->col).c_str(),
                  place_text(hint->to_row, hint->to_col).c_str());
}

std::string result_text(bool won, int moves) {
  return sentence(won ? ngettext("You Win! %d move", "You Win! %d moves", moves)
                      : ngettext("You Lose. %d move", "You Lose. %d moves", moves),
                  moves);
}

std::string dialog_text(const char *message, bool asks_text) {
  return asks_text ? sentence(_("%s. Type it, then press Enter"), message) : message;
}

std::string records_page_text(const RecordPage &page, int number) {
  std::string text = sentence(number % 2 ? _("Records, %s, arrow mode") : _("Records, %s"),
                              level_name(number / 2));
  if (page.played == 0) return sentence(_("%s: no games played yet"), text.c_str());
  text = sentence(_("%s: %d played, %d won, %d percent; streak %d, longest %d"), text.c_str(),
                  page.played, page.won, (int)(page.won * 100LL / page.played), page.streak,
                  page.longest);
  for (size_t i = 0; i < page.best.size(); i++)
    text += sentence(ngettext("; %d, %d move", "; %d, %d moves", page.best[i].moves), (int)i + 1,
                     page.best[i].moves);
  return text;
}

std::string scores_text(const ScoreEntry *scores, int count) {
  if (count == 0) return _("Top scores: no scores yet");
  std::string text = _("Top scores");
  for (int i = 0; i < count; i++)
    text += sentence(ngettext("; %d, %s, %s, %d move", "; %d, %s, %s, %d moves", scores[i].moves),
                     i + 1, scores[i].name, mode_text(scores[i].mode), scores[i].moves);
  return text;
}
