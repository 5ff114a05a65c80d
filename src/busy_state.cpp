// The board-busy state: running board operations, and what waits for their end.
#include "busy_state.h"

#include <FL/Fl_Window.H>

static int busy_depth = 0;
static Fl_Window *closing_window = nullptr;
// Painted during a board operation: the work after the first paint waits
// for its end.
static Fl_Timeout_Handler waiting_work = nullptr;
static Fl_Window *waiting_window = nullptr;
static void (*settled_work)(void *) = nullptr;
static void *settled_data = nullptr;

BoardBusy::BoardBusy() {
  busy_depth++;
}

BoardBusy::~BoardBusy() {
  if (--busy_depth > 0) return;
  if (settled_work) settled_work(settled_data);
  // A window that Quit closes has nothing left to start.
  if (waiting_work && waiting_window != closing_window) {
    Fl::add_timeout(0.0, waiting_work, waiting_window);
  }
  waiting_work = nullptr;
  waiting_window = nullptr;
  if (closing_window) {
    Fl::delete_widget(closing_window);
    closing_window = nullptr;
  }
}

bool board_busy() {
  return busy_depth > 0;
}

void destroy_after_board_operation(Fl_Window *win) {
  closing_window = win;
}

bool quit_pending() {
  return closing_window != nullptr;
}

Fl_Window *closing_main_window() {
  return closing_window;
}

void after_board_operation(Fl_Timeout_Handler work, Fl_Window *win) {
  waiting_work = work;
  waiting_window = win;
}

void forget_board_wait(Fl_Window *win) {
  if (waiting_window != win) return;
  waiting_work = nullptr;
  waiting_window = nullptr;
}

void after_each_board_operation(void (*work)(void *), void *data) {
  settled_work = work;
  settled_data = data;
}

void stop_each_board_operation_work(void *data) {
  if (settled_data == data) after_each_board_operation(nullptr, nullptr);
}
