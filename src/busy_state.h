// Whether a board operation is running, and what waits for its end.
#pragma once

#include <FL/Fl.H>

class Fl_Window;

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

// Whether a board operation is running now.
bool board_busy();
// Quit during a board operation: win, hidden already, is destroyed once the
// outermost operation has returned.
void destroy_after_board_operation(Fl_Window *win);
bool quit_pending();
// The main window that Quit is about to destroy, or null: the board's
// running move still plays at its level.
Fl_Window *closing_main_window();

// Runs work(win) from a zero timeout once the outermost board operation has
// ended, unless Quit is closing win by then. One piece of work waits at a
// time; forget_board_wait drops it when its window goes first.
void after_board_operation(Fl_Timeout_Handler work, Fl_Window *win);
void forget_board_wait(Fl_Window *win);

// Runs work(data) each time the outermost board operation has ended, before
// a window that Quit closes goes: the game is kept then. Null stops it;
// stop_each_board_operation_work(data) stops it only when data is its own.
void after_each_board_operation(void (*work)(void *), void *data);
void stop_each_board_operation_work(void *data);
