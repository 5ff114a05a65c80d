// The main window, its menus and their commands.
#include "varnel.h"

#include <FL/Fl_Menu_Bar.H>
#include <cstdio>

#include "window_icon.h"

MainWin *main_window = nullptr;

// Quit during a board operation hides the windows; the main window is
// destroyed once the outermost operation has returned.
static int busy_depth = 0;
static MainWin *closing_window = nullptr;

BoardBusy::BoardBusy() {
  busy_depth++;
}

BoardBusy::~BoardBusy() {
  if (--busy_depth == 0 && closing_window) {
    Fl::delete_widget(closing_window);
    closing_window = nullptr;
  }
}

bool quit_pending() {
  return closing_window != nullptr;
}

MainWin *closing_main_window() {
  return closing_window;
}

Fl_Menu_Item menu_items[] = {
    {"Game", 0, nullptr, nullptr, FL_SUBMENU, 0, 0, 0, 0},
    {"Quit", FL_CTRL + 'q', quit_cb, nullptr, 0, 0, 0, 0, 0},
    {"Reset", FL_CTRL + 'n', reset_menu_cb, nullptr, 0, 0, 0, 0, 0},
    {"Win", 0, win_cb, nullptr, 0, 0, 0, 0, 0},
    {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0},
    {"Difficulty", 0, nullptr, nullptr, FL_SUBMENU, 0, 0, 0, 0},
    {"Easy", 0, easy_cb, nullptr, FL_MENU_RADIO, 0, 0, 0, 0},
    {"Medium", 0, medium_cb, nullptr, FL_MENU_RADIO, 0, 0, 0, 0},
    {"Hard", 0, hard_cb, nullptr, FL_MENU_RADIO, 0, 0, 0, 0},
    {"Stupid", 0, stupid_cb, nullptr, FL_MENU_RADIO, 0, 0, 0, 0},
    {"Toggle Arrow Mode", 0, arrow_mode_cb, nullptr, FL_MENU_TOGGLE, 0, 0, 0, 0},
    {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0},
    {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0}};

MainWin::MainWin(int difficulty, int w, int h, const char *title) : Fl_Double_Window(w, h, title) {
  this->difficulty = difficulty;
  Fl_Menu_Bar *menu_bar = new Fl_Menu_Bar(0, 0, w - 210, 30);
  menu_bar->textcolor(FL_FOREGROUND_COLOR);
  menu_bar->menu(menu_items);
  // The level in force carries the radio mark from the start.
  char level_item[64];
  snprintf(level_item, sizeof level_item, "Difficulty/%s", level_name(difficulty));
  int item = menu_bar->find_index(level_item);
  if (item >= 0) menu_items[item].setonly();
  difficulty_box = new Fl_Box(w - 210, 2, 100, 26);
  difficulty_box->box(FL_DOWN_BOX);
  difficulty_box->color(fl_rgb_color(255, 200, 220));
  difficulty_box->label(level_name(difficulty));
  Fl_Box *moves_box = new Fl_Box(w - 100, 2, 100, 26, "");
  moves_box->box(FL_DOWN_BOX);
  moves_box->color(fl_rgb_color(255, 200, 220));
  game = new Varnel(0, 30, 800, 800, "Varnel");
  game->moves_box = moves_box;
  // Every tile scales alike, wherever the window stands on the screen.
  game->resizable(game);
  end();
  resizable(this);
  callback(main_window_cb);
  set_window_class_and_icon();
  show();
}

void quit_cb(Fl_Widget *, void *) {
  MainWin *win = main_window;
  if (!win) return;
  main_window = nullptr;
  win->hide();
  if (busy_depth > 0) {
    // A move is running: close the name dialog, if one is open, so that the
    // move can run to its end; the window goes when the move has returned.
    while (Fl::first_window())
      Fl::first_window()->hide();
    closing_window = win;
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
  if (main_window && main_window->game) main_window->game->Breed();
}

static void set_level(int difficulty) {
  if (!main_window) return;
  main_window->difficulty = difficulty;
  main_window->difficulty_box->label(level_name(difficulty));
  main_window->difficulty_box->redraw();
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
  game->Reset();
}
