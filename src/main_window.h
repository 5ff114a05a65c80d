// The main window MainWin, its menu table and the menu commands.
#pragma once

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Menu_Item.H>

#include "board.h"
#include "game_record.h"
#include "menu_row.h"
#include "settings.h"

class Fl_Menu_Bar;

// The main window: menu bar, difficulty box, move box and the board. The
// board is w x w at the bottom; the row above it holds the rest.
class MainWin : public Fl_Double_Window {
public:
  int difficulty;
  Varnel *game;
  FitBox *difficulty_box;
  RowMenuBar *menu_bar;
  // The height of the menu row, set by the text's scale at start-up.
  int row;
  // A quarter of the starting size, the least the window may take.
  int least_w, least_h;
  // Set once the window has been put on the screen.
  bool painted = false;
  // Whether the game is kept between runs (keep_game_between_runs).
  bool keeps_game = false;
  // Runs once, soon after the first paint and outside any board operation:
  // main starts there what would slow that paint or the first deal down.
  // A window mapped iconic is painted only once the player opens it: then
  // it runs anyway, a moment after start-up.
  Fl_Timeout_Handler after_first_paint = nullptr;

  MainWin(int difficulty, int w, int h, const char *title);
  ~MainWin() override;
  void resize(int x, int y, int w, int h) override;
  void flush() override;
  int handle(int event) override;
  void start_in_arrow_mode(bool on);
  void limit_size(bool fullscreen);
  // From now on the game is kept between runs once each move has settled.
  void keep_game_between_runs();
  // Puts a kept game on the board, with its level and arrow mode, their
  // marks and the level's name.
  void restore_game(const GameRecord &kept);
};

// Null until start-up has built the main window, and again after Quit.
extern MainWin *main_window;

// The settings in force: read by main at start-up, changed by the Sound and
// Symbols commands, the levels and Toggle Arrow Mode. The main window takes its marks and the
// board's symbols from them when it is built.
extern Settings game_settings;

void quit_cb(Fl_Widget *, void *);
void reset_menu_cb(Fl_Widget *, void *);
void win_cb(Fl_Widget *, void *);
void easy_cb(Fl_Widget *, void *);
void medium_cb(Fl_Widget *, void *);
void hard_cb(Fl_Widget *, void *);
void stupid_cb(Fl_Widget *, void *);
void arrow_mode_cb(Fl_Widget *, void *);
void sound_cb(Fl_Widget *, void *);
void symbols_cb(Fl_Widget *, void *);
void speech_cb(Fl_Widget *, void *);
// Speech on or off as the settings say, at start-up.
void start_speech(bool on);
void undo_cb(Fl_Widget *, void *);
void hint_cb(Fl_Widget *, void *);
void top_scores_cb(Fl_Widget *, void *);
void records_cb(Fl_Widget *, void *);
void play_deal_cb(Fl_Widget *, void *);
void todays_deal_cb(Fl_Widget *, void *);
void main_window_cb(Fl_Widget *w, void *);
// Handed every shortcut that no window of the game has taken: the main
// window's shortcuts work from the game's other windows.
int main_window_shortcut(int event);

// The menu table, unmarked; each main window's menu bar holds a copy.
extern const Fl_Menu_Item menu_items[];
