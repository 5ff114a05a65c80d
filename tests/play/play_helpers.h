// Helpers for the play tests: clicks as the toolkit reports them, real
// pointer and wheel input through xdotool, the name dialog answered from
// inside its own event loop, and the top-scores file read back.
#pragma once

#include "game_fixture.h"

#include <FL/Fl_Input.H>
#include <FL/Fl_Return_Button.H>
#include <FL/fl_ask.H>
#include <FL/x.H>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>

#include "top_scores.h"

// A left click on a tile as the toolkit delivers it: the release of mouse
// button 1 over the tile runs the tile's callback with that button as the
// event key.
inline void left_click(Varnel *b, int row, int col) {
  Fl::e_keysym = FL_Button + 1;
  b->buttons[row][col]->do_callback();
}
// A swap with the right-hand neighbour, by two clicks.
inline void swap_move(Varnel *b, int row, int col) {
  left_click(b, row, col), left_click(b, row, col + 1);
}

// The whole board without a match, the top row empty: moves breed into
// row 0 and are not lost.
inline void fill_playing(Varnel *b) {
  fill_without_matches(b);
  for (int c = 0; c < BOARD_COLS; c++)
    b->Array(0, c, CELL_EMPTY);
}

// Runs the event loop until pred() holds; false when it never does. Each
// round first makes the X server answer everything sent so far.
template <class Pred> bool pump_until(Pred pred) {
  for (int i = 0; i < 500; i++) {
    if (pred()) return true;
    XSync(fl_display, False);
    Fl::wait(0.01);
  }
  return pred();
}

// Runs xdotool on the test's display; its input reaches us as real X events.
// Column 0 empty down to three 10s over an 11, with a 10 beside the 11:
// swapping (19,0) and (19,1) completes a run that clears the column's last
// tiles and wins.
inline void column_ready_to_clear(Varnel *b) {
  for (int r = 0; r < 16; r++)
    b->Array(r, 0, CELL_EMPTY);
  for (int r = 16; r < 19; r++)
    b->Array(r, 0, 10);
  b->Array(19, 0, 11);
  b->Array(19, 1, 10);
}

// The first seed after which an Easy breeding step adds no tile at all.
inline long seed_breeding_nothing() {
  for (long seed = 1;; seed++) {
    srand48(seed);
    bool none = true;
    for (int c = 0; c < BOARD_COLS && none; c++)
      none = breed_draw(0) == CELL_EMPTY;
    if (none) return seed;
  }
}

inline bool xdo(const std::string &args) {
  std::string cmd = "xdotool " + args;
  return system(cmd.c_str()) == 0;
}

// Moves the real pointer to the centre of a tile and waits for the tile to
// take the enter event.
inline bool pointer_to_tile(Varnel *b, int row, int col) {
  std::string args = "mousemove --window " + std::to_string(fl_xid(b)) + " " +
                     std::to_string(col * 40 + 20) + " " + std::to_string(row * 40 + 20);
  if (!xdo(args)) return false;
  VarnelButton *tile = b->buttons[row][col];
  return pump_until([&] { return tile->hover == 1; });
}

inline Fl_Window *find_dialog(Fl_Input **input) {
  for (Fl_Window *w = Fl::first_window(); w; w = Fl::next_window(w))
    for (int i = 0; i < w->children(); i++)
      if (Fl_Input *in = dynamic_cast<Fl_Input *>(w->child(i))) {
        *input = in;
        return w;
      }
  return nullptr;
}

// Answers the name dialogs of the next wins from inside their event loops:
// types `text` and presses OK, or presses Cancel when `text` is null.
// `instead`, when set, runs first; the dialog is answered if still open.
struct NameDialog {
  const char *text = nullptr;
  int wanted = 1;   // dialogs still to answer
  int answered = 0; // dialogs seen
  std::function<void()> instead;

  explicit NameDialog(const char *answer, int count = 1) : text(answer), wanted(count) {
    Fl::add_timeout(0.0, poll, this);
  }
  ~NameDialog() { Fl::remove_timeout(poll, this); }

  static void poll(void *data) {
    NameDialog *d = (NameDialog *)data;
    Fl_Input *input = nullptr;
    Fl_Window *dialog = find_dialog(&input);
    if (!dialog) {
      Fl::repeat_timeout(0.005, poll, data);
      return;
    }
    d->answered++;
    bool more = --d->wanted > 0;
    if (d->instead) d->instead();
    // Answer the dialog unless the action closed it.
    if (find_dialog(&input) == dialog) {
      Fl_Button *ok = nullptr, *cancel = nullptr;
      for (int i = 0; i < dialog->children(); i++) {
        Fl_Button *b = dynamic_cast<Fl_Button *>(dialog->child(i));
        if (!b || !b->visible() || !b->label()) continue;
        if (dynamic_cast<Fl_Return_Button *>(b))
          ok = b;
        else if (strcmp(b->label(), fl_cancel) == 0)
          cancel = b;
      }
      if (d->text) {
        input->value(d->text);
        if (ok) ok->do_callback();
      } else if (cancel) {
        cancel->do_callback();
      }
    }
    if (more) Fl::repeat_timeout(0.005, poll, data);
  }
};

inline std::string file_text(const char *path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void write_file(const char *path, const std::string &text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

// Runs an action inside the n-th flush of the event loop from now: every
// Fl::check that a move makes is one.
struct AtFlush {
  int at;
  int seen = 0;
  std::function<void()> action;

  AtFlush(int n, std::function<void()> f) : at(n), action(std::move(f)) {
    Fl::add_check(hook, this);
  }
  ~AtFlush() {
    if (Fl::has_check(hook, this)) Fl::remove_check(hook, this);
  }
  static void hook(void *data) {
    AtFlush *a = (AtFlush *)data;
    if (++a->seen != a->at) return;
    Fl::remove_check(hook, data);
    if (a->action) a->action();
  }
};
