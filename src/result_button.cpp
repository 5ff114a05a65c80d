// The result button: the cell it stands for in the keyboard's order, and its keys.
#include "result_button.h"
#include "language.h"

#include <FL/Fl.H>
#include <FL/Fl_Group.H>
#include <FL/fl_draw.H>
#include <algorithm>

#include "sizes.h"

ResultButton::ResultButton(int x, int y, int w, int h, VarnelButton *(*tiles)[BOARD_COLS])
    : Fl_Button(x, y, w, h, "You Lose"), tiles(tiles), text_size(labelsize()) {
  fit_label();
}

// The text keeps its size on the 50-pixel button of 40-pixel tiles and
// shrinks with the button: "You Win!" in a dense screen's large text ran
// out of the button of a small window. A longer text, in another language,
// shrinks further until it fits the button's width.
void ResultButton::fit_label() {
  int size = std::max(1, std::min(text_size, h() * TEXT_SIZE / 50));
  if (label() && visible()) {
    int room = w() - Fl::box_dw(box()) - 4;
    for (fl_font(labelfont(), size); size > 1 && fl_width(label()) > room; size--)
      fl_font(labelfont(), size - 1);
  }
  labelsize(size);
}

void ResultButton::resize(int x, int y, int w, int h) {
  Fl_Button::resize(x, y, w, h);
  fit_label();
}

bool ResultButton::covers(const Fl_Widget *tile) const {
  return visible() && overlaps(tile, this);
}

void ResultButton::stand_in_for(const VarnelButton *tile) {
  row = tile->row;
  col = tile->col;
  take_focus();
}

// The tile of this board that has the keyboard's focus, when the button
// covers it.
VarnelButton *ResultButton::focused_covered_tile() const {
  VarnelButton *tile = dynamic_cast<VarnelButton *>(Fl::focus());
  return tile && tile->parent() == parent() && covers(tile) ? tile : nullptr;
}

void ResultButton::reveal(const char *text, Fl_Color colour, Fl_Color text_colour) {
  label(text);
  color(colour);
  labelcolor(text_colour);
  show();
  fit_label();
  bool found = false;
  for (int r = 0; r < BOARD_ROWS && !found; r++)
    for (int c = 0; c < BOARD_COLS && !found; c++)
      if (covers(tiles[r][c])) {
        row = r;
        col = c;
        found = true;
      }
  VarnelButton *tile = focused_covered_tile();
  if (tile && VarnelButton::keys_used()) stand_in_for(tile);
}

bool ResultButton::drawn_over(const Fl_Widget *selected) const {
  if (!visible()) return false;
  if (selected && overlaps(selected, this)) return true;
  // The board draws everything: the button comes last, above the tiles.
  if (parent()->damage() & ~FL_DAMAGE_CHILD) return false;
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++)
      if (tiles[r][c]->damage() && covers(tiles[r][c])) return true;
  return false;
}

void ResultButton::withdraw() {
  bool focused = Fl::focus() == this && VarnelButton::keys_used();
  hide();
  if (focused) tiles[row][col]->take_focus();
}

// Each result sets its colours: the button may have shown the other one.
void ResultButton::show_result(int result) {
  shown = result;
  if (result > 0)
    reveal(_("You Win!"), FL_WHITE, FL_BLUE);
  else if (result < 0)
    reveal(_("You Lose."), FL_RED, FL_WHITE);
  else
    withdraw();
}

void ResultButton::take_focus_from_covered_tile() {
  if (VarnelButton *tile = focused_covered_tile()) stand_in_for(tile);
}

// A click may have left the focus on a tile that the button covers once it
// shows: the first key on that tile moves the focus to the button, which
// stands in for it, and Space or Enter then act on the button.
int ResultButton::covered_tile_key() {
  VarnelButton *tile = focused_covered_tile();
  if (!tile) return 0;
  stand_in_for(tile);
  if (acts_as_click(Fl::event_key())) do_callback();
  return 1;
}

// The focus moves from the button on past the tiles it covers, as from the
// tile it stands in for. Enter on it is a click, as Space is.
int ResultButton::own_key() {
  if (Fl::event_state(FL_CTRL | FL_ALT | FL_META)) return 0;
  int key = Fl::event_key();
  if (key == FL_Enter || key == FL_KP_Enter) {
    do_callback();
    return 1;
  }
  if (key == FL_Tab) key = Fl::event_state(FL_SHIFT) ? FL_Left : FL_Right;
  // Through the cells in the toolkit's order: along the rows, and
  // straight up and down.
  int step = key == FL_Right  ? 1
             : key == FL_Left ? -1
             : key == FL_Down ? BOARD_COLS
             : key == FL_Up   ? -BOARD_COLS
                              : 0;
  if (step == 0) return 0;
  const int cells = BOARD_ROWS * BOARD_COLS;
  int cell = row * BOARD_COLS + col;
  do
    cell += step;
  while (cell >= 0 && cell < cells && covers(tiles[cell / BOARD_COLS][cell % BOARD_COLS]));
  if (cell >= 0 && cell < cells) tiles[cell / BOARD_COLS][cell % BOARD_COLS]->take_focus();
  return 1;
}

// Keys on the button, and keys that a tile under it hands on while it has
// the focus.
int ResultButton::handle(int event) {
  if (event != FL_KEYBOARD) return Fl_Button::handle(event);
  if (Fl::focus() != this) return covered_tile_key();
  return Fl_Button::handle(event) ? 1 : own_key();
}
