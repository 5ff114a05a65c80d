// The main window, its menus and their commands.
#include "main_window.h"

#include <FL/Fl_Menu_Bar.H>
#include <FL/fl_ask.H>
#include <algorithm>
#include <cstdio>

#include "board_undo.h"
#include "busy_state.h"
#include "dialogs.h"
#include "game_speech.h"
#include "help.h"
#include "hint_command.h"
#include "kept_game.h"
#include "pa.h"
#include "sizes.h"
#include "speech_texts.h"
#include "window_icon.h"

MainWin *main_window = nullptr;
Settings game_settings;

static void run_after_first_paint(void *data);
// How long the work after the first paint waits for a paint that may never
// come.
static const double FIRST_PAINT_WAIT = 0.5;

// "&" marks the letter that opens a menu with Alt, underlined.
Fl_Menu_Item menu_items[] = {
    {"&Game", 0, nullptr, nullptr, FL_SUBMENU, 0, 0, 0, 0},
    {"Quit", FL_CTRL + 'q', quit_cb, nullptr, 0, 0, 0, 0, 0},
    {"Reset", FL_CTRL + 'n', reset_menu_cb, nullptr, 0, 0, 0, 0, 0},
    {"Win", 0, win_cb, nullptr, 0, 0, 0, 0, 0},
    {"Sound", FL_CTRL + 'm', sound_cb, nullptr, FL_MENU_TOGGLE, 0, 0, 0, 0},
    {"Symbols", 0, symbols_cb, nullptr, FL_MENU_TOGGLE, 0, 0, 0, 0},
    {"Undo", FL_CTRL + 'z', undo_cb, nullptr, 0, 0, 0, 0, 0},
    {"Hint", FL_CTRL + 'h', hint_cb, nullptr, 0, 0, 0, 0, 0},
    {"Top Scores", 0, top_scores_cb, nullptr, 0, 0, 0, 0, 0},
    {"Speech", FL_CTRL + FL_SHIFT + 's', speech_cb, nullptr, FL_MENU_TOGGLE, 0, 0, 0, 0},
    {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0},
    {"&Difficulty", 0, nullptr, nullptr, FL_SUBMENU, 0, 0, 0, 0},
    {"Easy", 0, easy_cb, nullptr, FL_MENU_RADIO, 0, 0, 0, 0},
    {"Medium", 0, medium_cb, nullptr, FL_MENU_RADIO, 0, 0, 0, 0},
    {"Hard", 0, hard_cb, nullptr, FL_MENU_RADIO, 0, 0, 0, 0},
    {"Stupid", 0, stupid_cb, nullptr, FL_MENU_RADIO, 0, 0, 0, 0},
    {"Toggle Arrow Mode", 0, arrow_mode_cb, nullptr, FL_MENU_TOGGLE, 0, 0, 0, 0},
    {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0},
    {"&Help", 0, nullptr, nullptr, FL_SUBMENU, 0, 0, 0, 0},
    {"How to Play", FL_F + 1, help_cb, nullptr, 0, 0, 0, 0, 0},
    {"Keys", 0, keys_cb, nullptr, 0, 0, 0, 0, 0},
    {"About Varnel", 0, about_cb, nullptr, 0, 0, 0, 0, 0},
    {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0},
    {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0}};

// The entries whose check marks follow the settings.
static const char *const SOUND_ITEM = "&Game/Sound";
static const char *const SYMBOLS_ITEM = "&Game/Symbols";
static const char *const ARROWS_ITEM = "&Difficulty/Toggle Arrow Mode";
static const char *const SPEECH_ITEM = "&Game/Speech";

// Sets or clears an entry's mark in the menu bar's own items.
static void set_mark(Fl_Menu_ *menu, const char *path, bool on) {
  int item = menu->find_index(path);
  if (item < 0) return;
  int flags = menu->mode(item);
  menu->mode(item, on ? flags | FL_MENU_VALUE : flags & ~FL_MENU_VALUE);
}

// The level in force: the main window's, or while Quit waits for the
// running move to end, the closing window's, which the move still plays at.
static int main_window_level() {
  MainWin *win = main_window ? main_window : dynamic_cast<MainWin *>(closing_main_window());
  return win ? win->difficulty : 1;
}

// The menu row's parts keep their proportions to the row: at 30 pixels the
// menu bar is 590 wide, each box 100 x 26 at 2 from the top, 10 apart.
static int in_row(int row, int length) {
  return length * row / MENU_ROW;
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
  int box_w = in_row(row, 100), gap = in_row(row, 10), top = in_row(row, 2);
  menu_bar = new Fl_Menu_Bar(0, 0, w - 2 * box_w - gap, row);
  menu_bar->textcolor(FL_FOREGROUND_COLOR);
  menu_bar->menu(menu_items);
  set_mark(menu_bar, SOUND_ITEM, game_settings.sound);
  set_mark(menu_bar, SYMBOLS_ITEM, game_settings.symbols);
  set_mark(menu_bar, SPEECH_ITEM, game_settings.speech);
  // The level in force carries the radio mark from the start.
  char level_item[64];
  snprintf(level_item, sizeof level_item, "&Difficulty/%s", level_name(difficulty));
  int item = menu_bar->find_index(level_item);
  if (item >= 0) ((Fl_Menu_Item *)menu_bar->menu())[item].setonly();
  difficulty_box = new Fl_Box(w - 2 * box_w - gap, top, box_w, row - 2 * top);
  difficulty_box->box(FL_DOWN_BOX);
  difficulty_box->color(fl_rgb_color(255, 200, 220));
  difficulty_box->label(level_name(difficulty));
  Fl_Box *moves_box = new Fl_Box(w - box_w, top, box_w, row - 2 * top, "");
  moves_box->box(FL_DOWN_BOX);
  moves_box->color(fl_rgb_color(255, 200, 220));
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

// The toolkit scales every child alike. The menu row keeps its height, which
// its text needs, and only its width follows the window's. The window may
// take any shape: the board is the largest square of whole tiles below the
// menu row, centred in the room left.
void MainWin::resize(int x, int y, int w, int h) {
  Fl_Double_Window::resize(x, y, w, h);
  int top = in_row(row, 2);
  menu_bar->resize(menu_bar->x(), 0, menu_bar->w(), row);
  for (Fl_Widget *box : {(Fl_Widget *)difficulty_box, (Fl_Widget *)game->moves_box})
    box->resize(box->x(), top, box->w(), row - 2 * top);
  int side = std::min(w, h - row) / BOARD_COLS * BOARD_COLS;
  if (side <= 0) return;
  game->resize((w - side) / 2, row + (h - row - side) / 2, side, side);
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
               std::max(least_h, sh - in_row(row, TITLE_BAR)));
}

// F10 opens the Game menu and F11 switches fullscreen on and off; the tiles
// take neither key, so both work wherever the keyboard's focus is.
int MainWin::handle(int event) {
  if (event != FL_SHORTCUT || Fl::event_state(FL_SHIFT | FL_CTRL | FL_ALT | FL_META))
    return Fl_Double_Window::handle(event);
  if (Fl::event_key() == FL_F + 10) {
    open_game_menu();
    return 1;
  }
  if (Fl::event_key() == FL_F + 11) {
    if (fullscreen_active()) {
      fullscreen_off();
      limit_size(false);
    } else {
      limit_size(true);
      fullscreen();
    }
    return 1;
  }
  return Fl_Double_Window::handle(event);
}

// As a click on "Game" does. The command picked may end the game: nothing
// of the window is touched after it.
void MainWin::open_game_menu() {
  const Fl_Menu_Item *menu = menu_bar->menu();
  menu_bar->picked(menu->pulldown(menu_bar->x(), menu_bar->y(), menu_bar->w(), menu_bar->h(), menu,
                                  menu_bar, nullptr, 1));
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

// Once a board operation has ended, the game as it stands is kept; a game
// whose result shows is not.
static void keep_game(void *data) {
  MainWin *win = (MainWin *)data;
  if (win->game->result_button->visible())
    forget_kept_game();
  else
    keep_game_text(game_text(board_game(win->game, win->difficulty)));
}

void MainWin::keep_game_between_runs() {
  after_each_board_operation(keep_game, this);
}

void MainWin::restore_game(const GameRecord &kept) {
  start_in_arrow_mode(kept.arrow_mode);
  restore_board_game(game, kept);
}

void quit_cb(Fl_Widget *, void *) {
  MainWin *win = main_window;
  if (!win) return;
  main_window = nullptr;
  win->hide();
  hide_help();
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

void reset_menu_cb(Fl_Widget *, void *) {
  if (main_window && main_window->game) main_window->game->Reset();
}

void win_cb(Fl_Widget *, void *) {
  global_win = 1;
  if (!main_window || !main_window->game) return;
  // Undo takes back the forced win alone, as it does a winning move.
  Varnel *game = main_window->game;
  remember_move(game->undo, game->board, game->buttons);
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
  main_window->difficulty = difficulty;
  main_window->difficulty_box->label(level_name(difficulty));
  main_window->difficulty_box->redraw();
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
  game->arrow_mode = game->arrow_mode == 0 ? 1 : 0;
  keep_level_and_mode();
  game->Reset();
}

// At start-up, before the first game: the mode and the menu's mark.
void MainWin::start_in_arrow_mode(bool on) {
  game->arrow_mode = on ? 1 : 0;
  set_mark(menu_bar, ARROWS_ITEM, on);
}

// A setting changed by the player is kept at once; the menu's mark follows
// the setting, also when the command did not come from the menu.
static void keep_setting(const char *item, bool on) {
  set_mark(main_window->menu_bar, item, on);
  save_settings(game_settings);
}

void sound_cb(Fl_Widget *, void *) {
  if (!main_window) return;
  game_settings.sound = !game_settings.sound;
  set_sound_on(game_settings.sound);
  keep_setting(SOUND_ITEM, game_settings.sound);
}

// The tiles are drawn anew; the game goes on.
void symbols_cb(Fl_Widget *, void *) {
  if (!main_window || !main_window->game) return;
  game_settings.symbols = !game_settings.symbols;
  main_window->game->symbols = game_settings.symbols;
  main_window->game->redraw();
  keep_setting(SYMBOLS_ITEM, game_settings.symbols);
}

// Without the speech service the player is told so, and Speech is off again.
static void speech_missing() {
  game_settings.speech = false;
  if (!main_window) return;
  keep_setting(SPEECH_ITEM, false);
  prepare_dialog(main_window);
  fl_alert("%s", SPEECH_MISSING_TEXT);
}

void start_speech(bool on) {
  if (main_window && main_window->game) speak_game(main_window->game, on, speech_missing);
}

void speech_cb(Fl_Widget *, void *) {
  if (!main_window || !main_window->game) return;
  game_settings.speech = !game_settings.speech;
  keep_setting(SPEECH_ITEM, game_settings.speech);
  start_speech(game_settings.speech);
}

void undo_cb(Fl_Widget *, void *) {
  if (main_window && main_window->game) undo_move(main_window->game);
}

void hint_cb(Fl_Widget *, void *) {
  if (main_window && main_window->game) show_hint(*main_window->game);
}

// The list as last read, at any time, in the window a win opens.
void top_scores_cb(Fl_Widget *, void *) {
  if (main_window && main_window->game) main_window->game->ShowTopScores();
}

void help_cb(Fl_Widget *, void *) {
  show_help(HelpPage::HOW_TO_PLAY, main_window);
}
void keys_cb(Fl_Widget *, void *) {
  show_help(HelpPage::KEYS, main_window);
}
void about_cb(Fl_Widget *, void *) {
  show_help(HelpPage::ABOUT, main_window);
}
