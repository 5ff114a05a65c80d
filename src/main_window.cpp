// The main window, its menus and their commands.
#include "main_window.h"

#include <FL/Fl_Menu_Bar.H>
#include <FL/fl_ask.H>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "board_game.h"
#include "board_undo.h"
#include "busy_state.h"
#include "deal.h"
#include "deal_commands.h"
#include "game_speech.h"
#include "help.h"
#include "hint_command.h"
#include "kept_game.h"
#include "language.h"
#include "menu_row.h"
#include "pa.h"
#include "records_window.h"
#include "replaced_game.h"
#include "scores_window.h"
#include "sizes.h"
#include "top_row.h"
#include "top_scores.h"
#include "window_icon.h"

MainWin *main_window = nullptr;
Settings game_settings;

static void run_after_first_paint(void *data);
static void after_board_operation_work(void *data);
// How long the work after the first paint waits for a paint that may never
// come.
static const double FIRST_PAINT_WAIT = 0.5;

// "&" marks the letter that opens a menu with Alt, underlined. Each menu bar
// works on a copy of its own, where its marks are set.
const Fl_Menu_Item menu_items[] = {
    {N_("&Game"), 0, nullptr, nullptr, FL_SUBMENU, 0, 0, 0, 0},
    {N_("Quit"), FL_CTRL + 'q', quit_cb, nullptr, 0, 0, 0, 0, 0},
    {N_("Reset"), FL_CTRL + 'n', reset_menu_cb, nullptr, 0, 0, 0, 0, 0},
    {N_("Win"), 0, win_cb, nullptr, 0, 0, 0, 0, 0},
    {N_("Sound"), FL_CTRL + 'm', sound_cb, nullptr, FL_MENU_TOGGLE, 0, 0, 0, 0},
    {N_("Symbols"), 0, symbols_cb, nullptr, FL_MENU_TOGGLE, 0, 0, 0, 0},
    {N_("Undo"), FL_CTRL + 'z', undo_cb, nullptr, 0, 0, 0, 0, 0},
    {N_("Hint"), FL_CTRL + 'h', hint_cb, nullptr, 0, 0, 0, 0, 0},
    {N_("Top Scores"), 0, top_scores_cb, nullptr, 0, 0, 0, 0, 0},
    {N_("Records"), 0, records_cb, nullptr, 0, 0, 0, 0, 0},
    {N_("Play Deal…"), 0, play_deal_cb, nullptr, 0, 0, 0, 0, 0},
    {N_("Today's Deal"), 0, todays_deal_cb, nullptr, 0, 0, 0, 0, 0},
    {N_("Speech"), FL_CTRL + FL_SHIFT + 's', speech_cb, nullptr, FL_MENU_TOGGLE, 0, 0, 0, 0},
    {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0},
    {N_("&Difficulty"), 0, nullptr, nullptr, FL_SUBMENU, 0, 0, 0, 0},
    {N_("Easy"), 0, easy_cb, nullptr, FL_MENU_RADIO, 0, 0, 0, 0},
    {N_("Medium"), 0, medium_cb, nullptr, FL_MENU_RADIO, 0, 0, 0, 0},
    {N_("Hard"), 0, hard_cb, nullptr, FL_MENU_RADIO, 0, 0, 0, 0},
    {N_("Stupid"), 0, stupid_cb, nullptr, FL_MENU_RADIO, 0, 0, 0, 0},
    {N_("Toggle Arrow Mode"), 0, arrow_mode_cb, nullptr, FL_MENU_TOGGLE, 0, 0, 0, 0},
    {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0},
    {N_("&Help"), 0, nullptr, nullptr, FL_SUBMENU, 0, 0, 0, 0},
    {N_("How to Play"), FL_F + 1, help_cb, nullptr, 0, 0, 0, 0, 0},
    {N_("Keys"), 0, keys_cb, nullptr, 0, 0, 0, 0, 0},
    {N_("About Varnel"), 0, about_cb, nullptr, 0, 0, 0, 0, 0},
    {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0},
    {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0}};

// The menus in the player's language, translated once, before the first
// menu bar copies them.
static const Fl_Menu_Item *menus_in_language() {
  static const std::vector<Fl_Menu_Item> items = [] {
    std::vector<Fl_Menu_Item> copy(std::begin(menu_items), std::end(menu_items));
    for (Fl_Menu_Item &item : copy)
      if (item.text) item.text = _(item.text);
    return copy;
  }();
  return items.data();
}

// The level's entry alone carries the radio mark.
static void mark_level(RowMenuBar *menu, int difficulty) {
  static Fl_Callback *const levels[4] = {easy_cb, medium_cb, hard_cb, stupid_cb};
  menu->mark_only(levels[std::max(0, std::min(3, difficulty))]);
}

// The level in force: the main window's, or while Quit waits for the
// running move to end, the closing window's, which the move still plays at.
static int main_window_level() {
  MainWin *win = main_window ? main_window : dynamic_cast<MainWin *>(closing_main_window());
  return win ? win->difficulty : 1;
}

// The game's shortcuts work from each of its windows: a shortcut that no
// widget of the focused window takes (in the top-scores window, say) is
// handed to the main window. One that the main window has had already it
// declines again, having done nothing. A modal dialog keeps them: it holds
// the game until it is answered.
int main_window_shortcut(int event) {
  if (event != FL_SHORTCUT || !main_window || Fl::modal()) return 0;
  return main_window->handle(FL_SHORTCUT);
}

MainWin::MainWin(int difficulty, int w, int h, const char *title) : Fl_Double_Window(w, h, title) {
  this->difficulty = difficulty;
  row = h - w;
  menu_bar = new RowMenuBar(0, 0, w, row, menus_in_language());
  menu_bar->mark(sound_cb, game_settings.sound);
  menu_bar->mark(symbols_cb, game_settings.symbols);
  menu_bar->mark(speech_cb, game_settings.speech);
  // The level in force carries the radio mark from the start.
  mark_level(menu_bar, difficulty);
  difficulty_box = new FitBox(0, 0, 1, 1, level_name(difficulty));
  Fl_Box *moves_box = new FitBox(0, 0, 1, 1, "");
  lay_out_menu_row(menu_bar, difficulty_box, moves_box, w, row);
  game = new Varnel(0, row, w, w, "Varnel");
  game->moves_box = moves_box;
  game->symbols = game_settings.symbols;
  game->level_in_force = main_window_level;
  // Every tile scales alike, wherever the window stands on the screen.
  game->resizable(game);
  end();
  resizable(this);
  // No aspect hint: a window manager that keeps one grows the window past
  // the screen's edge as the player drags it wider, and at some scales its
  // ratio is inexact, which leaves margins from the start. The board stays
  // square in any shape (resize).
  least_w = w / 4;
  least_h = h / 4;
  limit_size(false);
  callback(main_window_cb);
  Fl::add_handler(main_window_shortcut);
  set_window_class_and_icon();
  after_each_board_operation(after_board_operation_work, this);
  remember_player_name(&game_settings.name, [] { save_settings(game_settings); });
  show();
  Fl::add_timeout(FIRST_PAINT_WAIT, run_after_first_paint, (Fl_Window *)this);
}

// The work that waits for the first paint, once no board operation is
// running: the first deal shows its steps as it goes, so the window is often
// first painted in its middle, and that work would slow it down.
static void run_after_first_paint(void *data) {
  MainWin *win = (MainWin *)(Fl_Window *)data;
  if (board_busy()) {
    after_board_operation(run_after_first_paint, win); // run by the outermost operation's end
  } else if (Fl_Timeout_Handler work = win->after_first_paint) {
    win->after_first_paint = nullptr;
    work(nullptr);
  }
}

MainWin::~MainWin() {
  speak_game(game, false, nullptr); // nothing is said of a board that goes
  Fl::remove_handler(main_window_shortcut);
  Fl::remove_timeout(run_after_first_paint, (Fl_Window *)this);
  forget_board_wait(this);
  stop_each_board_operation_work(this);
}

// A quarter of the starting size is the least. The screen's work area, with
// a title bar above, is the most, except in fullscreen: a window manager
// holds a fullscreen window to that limit too.
void MainWin::limit_size(bool fullscreen) {
  int sx, sy, sw, sh;
  Fl::screen_work_area(sx, sy, sw, sh);
  if (fullscreen)
    size_range(least_w, least_h);
  else
    size_range(least_w, least_h, std::max(least_w, sw),
               std::max(least_h, sh - TITLE_BAR * row / MENU_ROW));
}

// The toolkit flushes a window only once the server has shown it. The work
// that waits for the first paint runs from a timeout, which keeps the event
// loop from going to sleep first, and no longer waits for a paint.
void MainWin::flush() {
  Fl_Double_Window::flush();
  if (painted) return;
  painted = true;
  Fl::remove_timeout(run_after_first_paint, (Fl_Window *)this);
  if (after_first_paint) Fl::add_timeout(0.0, run_after_first_paint, (Fl_Window *)this);
}

// Once a board operation has ended: the level box names the level, or warns
// while a move that clears nothing would lose the game; the title names the
// game's deal; and the game as it stands is kept, with its deal, unless its
// result shows.
static void after_board_operation_work(void *data) {
  MainWin *win = (MainWin *)data;
  bool warn = top_row_full(win->game->board) && !win->game->result_button->visible();
  win->difficulty_box->set_text(warn ? _(TOP_ROW_WARNING) : level_name(win->difficulty));
  show_deal_in_title(win, win->game->tally.deal);
  if (!win->keeps_game) return;
  GameRecord kept = board_game(win->game, win->difficulty);
  keep_tally(kept, win->game->tally);
  if (win->game->result_button->visible())
    forget_kept_game();
  else
    keep_game_text(game_text(kept));
}

void MainWin::keep_game_between_runs() {
  keeps_game = true;
}

// The level's name, its mark and the mode's mark follow the game. A board
// operation: the level box warns at once where the game is close to a loss.
void MainWin::restore_game(const GameRecord &kept) {
  BoardBusy busy;
  difficulty = kept.difficulty;
  difficulty_box->set_text(level_name(difficulty));
  mark_level(menu_bar, difficulty);
  start_in_arrow_mode(kept.arrow_mode);
  restore_board_game(game, kept);
  game->tally = restore_tally(kept);
  show_deal_in_title(this, game->tally.deal);
}

void quit_cb(Fl_Widget *, void *) {
  MainWin *win = main_window;
  if (!win) return;
  main_window = nullptr;
  win->hide();
  hide_help();
  hide_records();
  if (board_busy()) {
    // A move is running: close the name dialog, if one is open, so that the
    // move can run to its end; the window goes when the move has returned.
    while (Fl::first_window())
      Fl::first_window()->hide();
    destroy_after_board_operation(win);
  } else {
    Fl::delete_widget(win);
  }
}

// Escape, which the toolkit sends here too, is often pressed to cancel a
// selection and must not end the game; a window manager's close ends it as
// Quit does.
void main_window_cb(Fl_Widget *w, void *) {
  if (Fl::event() != FL_CLOSE) return;
  if (w == main_window)
    quit_cb(w, nullptr);
  else
    w->hide();
}

// The game that a new game replaces can be brought back by Undo.
static void hold_game_in_progress() {
  if (main_window && main_window->game)
    hold_replaced_game(main_window->game, main_window->difficulty);
}

void reset_menu_cb(Fl_Widget *, void *) {
  hold_game_in_progress();
  if (main_window && main_window->game) main_window->game->Reset();
}

void win_cb(Fl_Widget *, void *) {
  global_win = 1;
  if (!main_window || !main_window->game) return;
  // Undo takes back the forced win alone, as it does a winning move.
  Varnel *game = main_window->game;
  game->begin_move();
  game->Breed();
}

// The level and mode of the game just picked start the next run too.
static void keep_level_and_mode() {
  game_settings.level = main_window->difficulty;
  game_settings.arrows = main_window->game && main_window->game->arrow_mode == 1;
  save_settings(game_settings);
}

static void set_level(int difficulty) {
  if (!main_window) return;
  hold_game_in_progress();
  main_window->difficulty = difficulty;
  main_window->difficulty_box->set_text(level_name(difficulty));
  keep_level_and_mode();
  if (main_window->game) main_window->game->Reset();
}

void easy_cb(Fl_Widget *, void *) {
  set_level(0);
}
void medium_cb(Fl_Widget *, void *) {
  set_level(1);
}
void hard_cb(Fl_Widget *, void *) {
  set_level(2);
}
void stupid_cb(Fl_Widget *, void *) {
  set_level(3);
}

void arrow_mode_cb(Fl_Widget *, void *) {
  if (!main_window || !main_window->game) return;
  Varnel *game = main_window->game;
  hold_game_in_progress();
  game->arrow_mode = game->arrow_mode == 0 ? 1 : 0;
  keep_level_and_mode();
  game->Reset();
}

// At start-up, before the first game: the mode and the menu's mark.
void MainWin::start_in_arrow_mode(bool on) {
  game->arrow_mode = on ? 1 : 0;
  menu_bar->mark(arrow_mode_cb, on);
}

// A setting changed by the player is kept at once; the menu's mark follows
// the setting, also when the command did not come from the menu.
// The entries whose marks follow the settings are found by their commands:
// their paths change with the language.
static void keep_setting(Fl_Callback *item, bool on) {
  main_window->menu_bar->mark(item, on);
  save_settings(game_settings);
}

void sound_cb(Fl_Widget *, void *) {
  if (!main_window) return;
  game_settings.sound = !game_settings.sound;
  set_sound_on(game_settings.sound);
  keep_setting(sound_cb, game_settings.sound);
}

// The tiles are drawn anew; the game goes on.
void symbols_cb(Fl_Widget *, void *) {
  if (!main_window || !main_window->game) return;
  game_settings.symbols = !game_settings.symbols;
  main_window->game->symbols = game_settings.symbols;
  main_window->game->redraw();
  keep_setting(symbols_cb, game_settings.symbols);
}

// Without the speech service the player has been told so, and Speech is
// off again.
static void speech_missing() {
  game_settings.speech = false;
  if (main_window) keep_setting(speech_cb, false);
}

void start_speech(bool on) {
  if (main_window && main_window->game) speak_game(main_window->game, on, speech_missing);
}

void speech_cb(Fl_Widget *, void *) {
  if (!main_window || !main_window->game) return;
  game_settings.speech = !game_settings.speech;
  keep_setting(speech_cb, game_settings.speech);
  start_speech(game_settings.speech);
}

// Past the first move of a game that replaced another, Undo brings that
// game back as it stood.
void undo_cb(Fl_Widget *, void *) {
  if (!main_window || !main_window->game) return;
  GameRecord replaced;
  if (!main_window->game->undo.empty() || board_busy() || !take_replaced_game(&replaced)) {
    undo_move(main_window->game);
    return;
  }
  main_window->restore_game(replaced);
}

void hint_cb(Fl_Widget *, void *) {
  if (main_window && main_window->game) show_hint(*main_window->game);
}

// The list at any time, in the window a win opens: read from the file as it
// is now, which other players may have written since.
void top_scores_cb(Fl_Widget *, void *) {
  if (!main_window || !main_window->game) return;
  read_top_scores();
  main_window->game->ShowTopScores();
}

// Records open on the page of the game in force. The deal's dialog runs
// the event loop: the game may have ended by its answer.
void records_cb(Fl_Widget *, void *) {
  if (main_window && main_window->game) show_records(main_window->game->tally.page, main_window);
}
void play_deal_cb(Fl_Widget *, void *) {
  long deal = -1;
  if (!main_window || !ask_deal_number(main_window, main_window->game->tally.deal, deal)) return;
  hold_game_in_progress();
  if (main_window) start_deal(main_window->game, deal);
}
void todays_deal_cb(Fl_Widget *, void *) {
  hold_game_in_progress();
  if (main_window && main_window->game) start_deal(main_window->game, todays_deal(time(nullptr)));
}
