// The game module: the board and its tiles, the main window with its menus,
// and the top scores.
#pragma once

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>

#include "rules.h"
#include "settings.h"

class Fl_Menu_Bar;

// Sizes on a 96-dpi screen that holds the whole window; the game draws its
// tiles, text and controls in proportion to them.
const int TILE_SIZE = 40;
const int TEXT_SIZE = 11; // the toolkit's normal label size
const int MENU_ROW = 30;  // the row of the menu bar and the two boxes
const int TITLE_BAR = 32; // room left above a window for a window manager's title

// The text size the game runs with, TEXT_SIZE until set_text_size.
extern int game_text_size;
// Sets the text size of every widget made from now on: called once, before
// any widget exists.
void set_text_size(int size);
// A length around the text (the top-scores table) as drawn with 11-pixel
// text, at the text size the game runs with.
inline int text_scaled(int length) {
  return length * game_text_size / TEXT_SIZE;
}

// A tile: a button that stays at its cell for the life of the board and
// shows the cell's value as its colour (and, in arrow mode, its arrow).
class VarnelButton : public Fl_Button {
public:
  int direction; // arrow direction 0..7, clockwise from up
  int col, row;
  int hover; // 1 while the pointer is inside the tile
  char label_text[256];

  VarnelButton(int x, int y, int w, int h, const char *label = nullptr);
  ~VarnelButton() override {}
  void draw() override;
  int handle(int event) override;
  // Copies text into label_text and shows it, so callers may pass a temporary.
  void label(const char *text);

  // Whether the keyboard (true) or the mouse (false) was used last on the
  // board; the focus is marked only while it is the keyboard.
  static void keys_in_use(bool keys);
  static bool keys_used();

private:
  static bool focus_from_keys;
  int handle_key();
  void draw_glyph();
  void draw_focus_mark();
};

// The board: a double-buffered subwindow that holds the 400 tiles and all the
// state of one game.
class Varnel : public Fl_Double_Window {
public:
  VarnelButton *buttons[BOARD_ROWS][BOARD_COLS];
  Fl_Button *selected_button;
  Fl_Button *result_button;
  Fl_Double_Window *scores_window;
  Fl_Box *moves_box;
  Cells board;
  Cells marked;
  int sel_col, sel_row;
  int sel2_col, sel2_row;
  int moves;
  int arrow_mode;
  char moves_text[256];
  // Whether the tiles carry their colour's glyph (Game -> Symbols).
  bool symbols = false;

  // Counts the board's repaints made inside its own operations; the
  // animation tests and the benchmark read it.
  long repaint_steps = 0;
  // Goes up with every new game. A move, turn or win that finds it changed
  // after a flush belongs to a game that has ended and stops touching the
  // board.
  long game_number = 0;

  Varnel(int x, int y, int w, int h, const char *label = nullptr);
  ~Varnel() override;
  void draw() override;
  int handle(int event) override;

  void Array(int row, int col, int value);
  void Swap(int row1, int col1, int row2, int col2);
  void Reset();
  int Matched();
  void Fall();
  int FindSelectedButton(Fl_Button *button);
  int Breed();
  void ArrowMove(VarnelButton *tile);
  void TurnArrow(VarnelButton *tile, bool clockwise);
  void ShowTopScores();
  // Hides and destroys the top-scores window, if one is open.
  void close_scores_window();
  // A key on a tile that the result button covers: the button takes it.
  int covered_tile_key(VarnelButton *tile);
  bool under_result_button(const Fl_Widget *tile) const;

private:
  // The cell whose place the result button takes in the keyboard's order.
  int result_row, result_col;
  void show_step(); // repaint the board and flush pending events
  void count_move();
  void show_no_moves();
  void show_moves_text();
  void clear_selection();
  int level() const;
  void show_result_button();
  int result_button_key();
};

// The main window: menu bar, difficulty box, move box and the board. The
// board is w x w at the bottom; the row above it holds the rest.
class MainWin : public Fl_Double_Window {
public:
  int difficulty;
  Varnel *game;
  Fl_Box *difficulty_box;
  Fl_Menu_Bar *menu_bar;
  // Set once the window has been put on the screen.
  bool painted = false;
  // Runs once, soon after the first paint and outside any board operation:
  // main starts there what would slow that paint or the first deal down.
  Fl_Timeout_Handler after_first_paint = nullptr;

  MainWin(int difficulty, int w, int h, const char *title);
  ~MainWin() override;
  void resize(int x, int y, int w, int h) override;
  void flush() override;
  int handle(int event) override;
  void open_game_menu();
};

// The main window's size and the text size to start with on the screen the
// window opens on: 800 x 830 and 11 on a 96-dpi screen that holds it.
// Needs the display open.
struct StartSize {
  int w, h;
  int text;
};
StartSize start_size();

// Called right before each of the game's message dialogs (fl_input,
// fl_message, fl_alert ...): the dialog is titled "Varnel", opens centred
// over the main window rather than at the pointer, and its input field is
// as high as its text needs at the game's text size.
void prepare_dialog();

// Null until start-up has built the main window, and again after Quit.
extern MainWin *main_window;

// The settings in force: read by main at start-up, changed by the Sound and
// Symbols commands. The main window takes its marks and the board's
// symbols from them when it is built.
extern Settings game_settings;

// 0 while playing (and after a win); 1 from the Win menu entry into the
// breeding step it calls; -1 after a loss until a win or a new game.
extern int global_win;

// Board operations that flush events can be interrupted by any input,
// Quit included. Every entry point from the toolkit into the board holds a
// BoardBusy while it runs. Quit during one hides every window (an open name
// dialog too, so that the move can end) and the main window is destroyed
// once the outermost entry point has returned.
class BoardBusy {
public:
  BoardBusy();
  ~BoardBusy();
  BoardBusy(const BoardBusy &) = delete;
  BoardBusy &operator=(const BoardBusy &) = delete;
};
bool quit_pending();
// The main window that Quit is about to destroy, or null: the board's
// running move still plays at its level.
MainWin *closing_main_window();

void button_select_cb(Fl_Widget *widget, void *data);
void reset_cb(Fl_Widget *widget, void *data);
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
void help_cb(Fl_Widget *, void *);
void keys_cb(Fl_Widget *, void *);
void about_cb(Fl_Widget *, void *);
void main_window_cb(Fl_Widget *w, void *);
// Handed every shortcut that no window of the game has taken: the main
// window's shortcuts work from the game's other windows.
int main_window_shortcut(int event);
void top_score_win_cb(Fl_Widget *w, void *data);
// The label type of the names in the top-scores window: the text as typed,
// where '@' starts no symbol.
const Fl_Labeltype LITERAL_LABEL = FL_FREE_LABELTYPE;

extern Fl_Menu_Item menu_items[];
