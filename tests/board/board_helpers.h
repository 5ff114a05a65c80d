// Helpers of the board tests: building layouts cell by cell, and watching
// the board at every animation step through a check hook of the toolkit.
#pragma once

#include <FL/Fl.H>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "varnel.h"

// A copy of the board's cell values.
struct Shot {
  Cells v;
  explicit Shot(const Cells board) { memcpy(v, board, sizeof v); }
  bool operator==(const Shot &o) const { return memcmp(v, o.v, sizeof v) == 0; }
};

// Every cell empty: the start of a hand-made layout.
inline void clear_board(Varnel *b) {
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++)
      b->Array(r, c, CELL_EMPTY);
}

// Stable: no match left and no tile above an empty cell.
inline bool is_stable(const Cells board) {
  Cells marks;
  int r = 0, c = 0;
  return mark_matches(board, marks) == 0 && !next_fall(board, r, c);
}

// Snapshots the board each time one of its operations has repainted it and
// flushes (repaint_steps has moved on), and then calls on_step with the
// number of steps seen so far. It runs inside that very Fl::check, so
// on_step can act as input arriving during the animation.
class StepRecorder {
public:
  std::vector<Shot> shots;
  std::function<void(int step)> on_step;

  explicit StepRecorder(Varnel *b) : board_(b), last_(b->repaint_steps) {
    Fl::add_check(hook, this);
  }
  ~StepRecorder() { Fl::remove_check(hook, this); }
  StepRecorder(const StepRecorder &) = delete;
  StepRecorder &operator=(const StepRecorder &) = delete;

private:
  Fl_Widget_Tracker board_;
  long last_;

  static void hook(void *data) {
    StepRecorder *self = (StepRecorder *)data;
    Varnel *b = (Varnel *)self->board_.widget();
    if (!b || b->repaint_steps == self->last_) return;
    self->last_ = b->repaint_steps;
    self->shots.push_back(Shot(b->board));
    if (self->on_step) self->on_step((int)self->shots.size());
  }
};

// The label a widget shows ("(null)" for none). VarnelButton's own label()
// setter hides the getter, so this goes through Fl_Widget.
inline std::string label_of(const Fl_Widget *w) {
  const char *l = w->label();
  return l ? l : "(null)";
}

// The label of a tile whose arrow points in this direction.
inline std::string arrow_label(int direction) {
  return "@" + std::to_string(arrow_cycle[direction]) + ">";
}
