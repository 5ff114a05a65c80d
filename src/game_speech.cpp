// The game said aloud. Speech watches the game rather than being called by
// it: a check that the event loop runs once per round compares what it saw
// last with the board, the focus and the windows now, and says what has
// changed. The game's code stays as it is, and with speech off the check
// is not even installed. The check runs only when the loop wakes anyway:
// an idle game still sleeps.
#include "game_speech.h"
#include "language.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Input_.H>
#include <FL/Fl_Window.H>
#include <FL/fl_ask.H>
#include <cstring>

#include "board.h"
#include "busy_state.h"
#include "records_file.h"
#include "records_window.h"
#include "dialogs.h"
#include "speech.h"
#include "speech_texts.h"

// What the check saw last; the GUI thread's alone.
struct SpeechSeen {
  long game = 0;
  int moves = 0;
  long cleared = 0;
  size_t undo = 0;
  std::string box;
  bool result = false;
  Fl_Widget *focus = nullptr;
  int focus_row = -1;
  Fl_Window *dialog = nullptr;
  Fl_Window *scores = nullptr;
  Fl_Window *records = nullptr;
};
// The board spoken of, while speech is on.
static Varnel *spoken = nullptr;
static SpeechSeen seen;
static bool brief_speech = false;
static std::string last_said;
static void (*missing_cb)() = nullptr;
// How often speech asks whether the library has loaded, once it is turned on.
static const double LIBRARY_POLL = 0.05;

static void tell(const std::string &text, SpeechPriority priority = SpeechPriority::MESSAGE) {
  last_said = text;
  say(text, priority);
}

// The tiles' arrows, as the texts read them: none in swap mode.
static const Cells *tile_arrows(Cells &directions) {
  if (spoken->arrow_mode != 1) return nullptr;
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++)
      directions[r][c] = spoken->buttons[r][c]->direction;
  return &directions;
}

static int level() {
  return spoken->level_in_force ? spoken->level_in_force() : 1;
}

static VarnelButton *focused_tile() {
  VarnelButton *tile = dynamic_cast<VarnelButton *>(Fl::focus());
  return tile && tile->parent() == spoken ? tile : nullptr;
}

static void say_status() {
  tell(status_text(level(), spoken->arrow_mode == 1, spoken->moves, spoken->board));
}

// The focus on a tile; brief speech leaves the place out along a row.
static void say_focus() {
  Fl_Widget *focus = Fl::focus();
  if (focus == seen.focus) return;
  seen.focus = focus;
  Cells directions;
  if (VarnelButton *tile = focused_tile()) {
    bool along_row = brief_speech && tile->row == seen.focus_row;
    seen.focus_row = tile->row;
    tell(cell_text(spoken->board, tile_arrows(directions), tile->row, tile->col, !along_row),
         SpeechPriority::TEXT);
  } else if (focus == spoken->result_button) {
    tell(spoken->result_button->label(), SpeechPriority::TEXT);
  }
}

// A message dialog (the name asked after a win, a score not saved): its
// message, the longest label of its boxes, the others being its icon.
static void say_dialog() {
  Fl_Window *dialog = Fl::modal();
  if (dialog == seen.dialog) return;
  seen.dialog = dialog;
  if (!dialog) return;
  const char *message = "";
  bool asks_text = false;
  for (int i = 0; i < dialog->children(); i++) {
    Fl_Widget *w = dialog->child(i);
    asks_text = asks_text || dynamic_cast<Fl_Input_ *>(w);
    if (dynamic_cast<Fl_Box *>(w) && w->label() && strlen(w->label()) > strlen(message))
      message = w->label();
  }
  // A menu, open from the keyboard, is a modal window too, with no message.
  if (message[0]) tell(dialog_text(message, asks_text));
}

// What shows up, in the middle of a move too: its result, the top scores
// and the records.
static void say_arrivals() {
  bool result = spoken->result_button->visible();
  if (result && !seen.result) tell(spoken->result_button->label());
  seen.result = result;
  if (spoken->scores_window && spoken->scores_window != seen.scores)
    tell(scores_text(score_list, score_cnt));
  seen.scores = spoken->scores_window;
  int page = 0;
  Fl_Window *records = records_shown(page);
  if (records && records != seen.records)
    tell(records_page_text(current_records().pages[page], page));
  seen.records = records;
}

static bool hinted_tiles() {
  for (auto &row : spoken->buttons)
    for (VarnelButton *tile : row)
      if (tile->hinted) return true;
  return false;
}

// Once the board has settled: a new game, a move (or the hint that cost
// one), Undo, and what the move box says besides the count.
static void say_settled() {
  std::string box = spoken->moves_text;
  if (spoken->game_number != seen.game) {
    tell(new_game_text(level(), spoken->arrow_mode == 1));
  } else if (spoken->moves > seen.moves) {
    Cells directions;
    HintSwap hint;
    // A hint costs a move and marks two tiles, which the next move clears;
    // asked again, the board gives the same two, in order.
    if (hinted_tiles() && find_hint(spoken->board, tile_arrows(directions), hint))
      tell(hint_text(&hint));
    else
      tell(move_text(spoken->cleared_tiles - seen.cleared, spoken->moves, spoken->board,
                     brief_speech));
  } else if (spoken->undo.size() < seen.undo) {
    tell(_(MOVE_TAKEN_BACK_TEXT));
  } else if (box != seen.box && !box.empty() && (box[0] < '0' || box[0] > '9')) {
    tell(box);
  }
  seen.game = spoken->game_number;
  seen.moves = spoken->moves;
  seen.cleared = spoken->cleared_tiles;
  seen.undo = spoken->undo.size();
  seen.box = box;
}

static void watch_game(void *) {
  if (!spoken) return;
  say_focus();
  say_dialog();
  say_arrivals();
  if (!board_busy()) say_settled();
}

// Until the speech thread has tried the library: then speech stays on, or
// goes off with the player told.
static void poll_library(void *) {
  SpeechLibrary library = speech_library();
  if (library == SpeechLibrary::NOT_TRIED)
    Fl::repeat_timeout(LIBRARY_POLL, poll_library);
  else if (library == SpeechLibrary::MISSING && spoken) {
    Fl_Window *window = spoken->top_window();
    speak_game(spoken, false, missing_cb);
    if (missing_cb) missing_cb();
    prepare_dialog(window);
    fl_alert("%s", _(SPEECH_MISSING_TEXT));
  }
}

static int speech_keys(int event) {
  if (event != FL_SHORTCUT || Fl::modal() || Fl::event_state(FL_CTRL | FL_ALT | FL_META)) return 0;
  return speech_key(Fl::event_key());
}

int speech_key(int key) {
  if (!spoken) return 0;
  VarnelButton *tile = focused_tile();
  int row = tile ? tile->row : 0, col = tile ? tile->col : 0;
  Cells directions;
  switch (key) {
  case 'l':
    tell(last_said.empty() ? _(NOTHING_SAID_TEXT) : last_said);
    break;
  case 's':
    say_status();
    break;
  case 'r':
    tell(row_text(spoken->board, tile_arrows(directions), row));
    break;
  case 'c':
    tell(column_text(spoken->board, tile_arrows(directions), col));
    break;
  case 'v':
    brief_speech = !brief_speech;
    tell(brief_speech ? _(BRIEF_SPEECH_TEXT) : _(FULL_SPEECH_TEXT));
    break;
  default:
    return 0;
  }
  return 1;
}

// Speech starts from the game as it stands: only what changes from now on
// is said, after "Speech on" and the status.
void speak_game(Varnel *game, bool on, void (*missing)()) {
  if (!on) {
    if (!spoken || game != spoken) return;
    spoken = nullptr;
    Fl::remove_check(watch_game);
    Fl::remove_handler(speech_keys);
    Fl::remove_timeout(poll_library);
    silence_speech();
    return;
  }
  if (spoken || !game) return;
  missing_cb = missing;
  spoken = game;
  seen = SpeechSeen();
  seen.focus = Fl::focus();
  seen.game = spoken->game_number;
  seen.moves = spoken->moves;
  seen.cleared = spoken->cleared_tiles;
  seen.undo = spoken->undo.size();
  seen.box = spoken->moves_text;
  seen.result = spoken->result_button->visible();
  seen.scores = spoken->scores_window;
  tell(_(SPEECH_ON_TEXT));
  say_status();
  Fl::add_check(watch_game);
  Fl::add_handler(speech_keys);
  if (speech_library() != SpeechLibrary::LOADED) Fl::add_timeout(LIBRARY_POLL, poll_library);
}

bool game_speech_on() {
  return spoken != nullptr;
}
