// The tile widget: its label, drawing, glyph, focus mark and keys.
#include "tile.h"

#include <FL/Fl.H>
#include <FL/Fl_Group.H>
#include <FL/fl_draw.H>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "focus_keys.h"
#include "hint_mark.h"
#include "rules.h"
#include "sizes.h"
#include "symbols.h"

VarnelButton::VarnelButton(int x, int y, int w, int h, const char *label)
    : Fl_Button(x, y, w, h, label) {
  direction = (int)(drand48() * 8);
  col = row = 0;
  hover = 0;
  label_text[0] = '\0';
  // The tile draws its arrow itself (draw_arrow), keeping the label's text.
  labeltype(FL_NO_LABEL);
}

int mark_width(int tile) {
  return std::max(1, (tile + TILE_SIZE / 2) / TILE_SIZE);
}

int arrow_side(int tile, int text) {
  return std::min(tile * 7 / 20, text * 14 / 11);
}

void VarnelButton::label(const char *text) {
  snprintf(label_text, sizeof label_text, "%s", text);
  Fl_Widget::label(label_text);
}

void VarnelButton::show_arrow(bool shown) {
  char text[256] = "";
  if (shown) snprintf(text, sizeof text, "@%d>", arrow_cycle[direction]);
  label(text);
}

// The keyboard's focus is marked from the first key that moves it or acts on
// a tile until the next mouse press on the board, so that a mouse player
// sees the tiles as the toolkit draws them.
bool VarnelButton::focus_from_keys = false;

bool VarnelButton::keys_used() {
  return focus_from_keys;
}

void VarnelButton::keys_in_use(bool keys) {
  if (focus_from_keys == keys) return;
  focus_from_keys = keys;
  // The board draws the selection apart for the keyboard as well.
  Fl_Widget *focus = Fl::focus();
  if (focus && focus->window())
    focus->window()->redraw();
  else if (focus)
    focus->redraw();
}

// The button, a hint's marks, its colour's glyph when the board shows
// them, the hover outline while the pointer is over the tile (30 x 30 in a
// 40-pixel tile), and the mark of the keyboard's focus. The arrow and the
// glyph come over the hint's marks, which must not hide them.
void VarnelButton::draw() {
  bool marked = focus_from_keys && Fl::focus() == this;
  // The mark stands in for the toolkit's dotted box, faint on light tiles
  // and in the way of the selection outline.
  int dotted = Fl::visible_focus();
  if (marked) Fl::visible_focus(0);
  Fl_Button::draw();
  Fl::visible_focus(dotted);
  if (hinted) {
    draw_hint_mark(x(), y(), w(), hint_first);
    if (hint_direction >= 0)
      draw_turn_outline(x(), y(), w(), hint_direction, arrow_side(w(), labelsize()),
                        ink_on(color()));
  }
  draw_arrow();
  draw_glyph();
  if (marked) draw_focus_mark();
  if (hover == 1) {
    int inset = w() / 8;
    fl_color(FL_WHITE);
    fl_rect(x() + inset, y() + inset, w() - 2 * inset, h() - 2 * inset);
  }
}

// The label's arrow, centred. The toolkit would size it from the font's
// line height alone, which differs with the fonts installed, and with large
// text on small tiles would fill the tile and spill into its neighbours.
// White, as the label colour says, wherever white stands out at least 3:1
// (every colour of Medium); black on the light colours of the harder
// levels, where white would almost vanish.
void VarnelButton::draw_arrow() {
  if (label_text[0] == '\0') return;
  int side = arrow_side(w(), labelsize());
  Fl_Color ink = luminance(color()) > 0.3 ? FL_BLACK : labelcolor();
  fl_draw_symbol(label_text, x() + (w() - side) / 2, y() + (h() - side) / 2, side, side, ink);
}

void VarnelButton::draw_glyph() {
  if (cell && symbols && *symbols)
    draw_symbol(*cell, color(), x(), y(), w(),
                arrow_mode && *arrow_mode == 1 ? arrow_side(w(), labelsize()) : 0);
}

// A wide frame over the tile's edge, in black or white, whichever stands
// out on the tile's colour: over the bevel, it cannot merge with it, and
// being wide and at the edge it looks like neither the pointer's thin
// outline nor the selection's, which run inside the tile.
void VarnelButton::draw_focus_mark() {
  fl_color(ink_on(color()));
  for (int i = 0; i < 3 * mark_width(w()); i++)
    fl_rect(x() + i, y() + i, w() - 2 * i, h() - 2 * i);
}

bool acts_as_click(int key) {
  return key == FL_Button + 1 || key == ' ' || key == FL_Enter || key == FL_KP_Enter;
}

int arrow_turn(int key) {
  // '+' is Shift and '=' on most keyboards, and reported as '='.
  if (key == '+' || key == '=' || key == FL_KP + '+') return 1;
  if (key == '-' || key == FL_KP + '-') return -1;
  return 0;
}

bool overlaps(const Fl_Widget *a, const Fl_Widget *b) {
  return a->x() < b->x() + b->w() && b->x() < a->x() + a->w() && a->y() < b->y() + b->h() &&
         b->y() < a->y() + a->h();
}

// The widget that the board shows over this tile, if any: its result button.
Fl_Widget *VarnelButton::cover() const {
  const Fl_Group *board = parent();
  for (int i = board ? board->children() : 0; i-- > 0;) {
    Fl_Widget *w = board->child(i);
    if (w->visible() && !dynamic_cast<VarnelButton *>(w) && overlaps(w, this)) return w;
  }
  return nullptr;
}

// Keys on the focused tile. Space and Enter run its callback here, and not
// in the toolkit's button, which would run it a second time for Space; + and
// - run it too, and the board turns the arrow as the wheel does. The arrow
// keys and Tab go on to the board, which moves the focus. A tile under the
// result button hands its keys to the button, which stands in for it.
int VarnelButton::handle_key() {
  if (Fl::focus() != this || Fl::event_state(FL_CTRL | FL_ALT | FL_META)) return 0;
  int key = Fl::event_key();
  bool moves_focus =
      key == FL_Tab || key == FL_Left || key == FL_Right || key == FL_Up || key == FL_Down;
  int to_row = row, to_col = col;
  bool jumps = focus_jump(key, to_row, to_col);
  if (!arrow_turn(key) && !moves_focus && !jumps && !acts_as_click(key)) return 0;
  keys_in_use(true);
  if (jumps) return jump_focus(to_row, to_col);
  if (Fl_Widget *button = cover()) return button->handle(FL_KEYBOARD);
  if (moves_focus) return 0;
  do_callback();
  return 1;
}

// The focus goes to the tile at (to_row, to_col), a sibling: the board
// makes its tiles in rows, one after the other. The board hands it on to the
// result button when that covers the tile.
int VarnelButton::jump_focus(int to_row, int to_col) {
  Fl_Group *board = parent();
  int index = to_row * BOARD_COLS + to_col;
  VarnelButton *to = board && index < board->children()
                         ? dynamic_cast<VarnelButton *>(board->child(index))
                         : nullptr;
  if (to && to->row == to_row && to->col == to_col && to != this) {
    to->take_focus();
    redraw();
  }
  return 1;
}

int VarnelButton::handle(int event) {
  switch (event) {
  case FL_ENTER:
    hover = 1;
    redraw();
    return 1;
  case FL_LEAVE:
    hover = 0;
    redraw();
    return 1;
  case FL_KEYBOARD:
    return handle_key() ? 1 : Fl_Button::handle(event);
  default:
    return Fl_Button::handle(event);
  }
}
