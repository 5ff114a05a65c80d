// The board widget Varnel, which holds the tiles and the state of one game.
#pragma once

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>

#include "game_tally.h"
#include "result_button.h"
#include "rules.h"
#include "tile.h"
#include "undo_history.h"

// The board: a double-buffered subwindow that holds the 400 tiles and all the
// state of one game.
class Varnel : public Fl_Double_Window {
public:
  VarnelButton *buttons[BOARD_ROWS][BOARD_COLS];
  Fl_Button *selected_button;
  ResultButton *result_button;
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
  // The difficulty level in force, asked at every new game and move; set
  // by the main window that holds the board. Without it the level is 1.
  int (*level_in_force)() = nullptr;

  // Counts the board's repaints made inside its own operations; the
  // animation tests and the benchmark read it.
  long repaint_steps = 0;
  // Goes up with every new game. A move, turn or win that finds it changed
  // after a flush belongs to a game that has ended and stops touching the
  // board.
  long game_number = 0;
  // Every tile cleared by a match, counted over the run; speech tells a
  // move's share.
  long cleared_tiles = 0;
  // The board before each move of this game, for Undo.
  UndoHistory undo;
  // This game's deal number, and whether the player's records counted it.
  GameTally tally;
  // The deal the next new game deals; -1: the clock's.
  long next_deal = -1;

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
  // A move begins: the board as it stands, with its result, is kept for Undo.
  void begin_move();
  // Shows the result (1 a win, -1 a loss) on the result button, or hides
  // it (0); a loss holds the board until a win or a new game.
  void show_result(int result);
  // A move more on the counter and in the move box.
  void count_move();
  // The move box shows the count of moves (empty before the first), or a
  // note in its place until the next count.
  void show_move_count(const char *note = nullptr);
  // Takes the last hint's marks off its two tiles.
  void clear_hint();
  void clear_selection();

private:
  void show_step(); // repaint the board and flush pending events
  int level() const;
};

// 0 while playing (and after a win); 1 from the Win menu entry into the
// breeding step it calls; -1 after a loss until a win or a new game.
extern int global_win;

void button_select_cb(Fl_Widget *widget, void *data);
void reset_cb(Fl_Widget *widget, void *data);
