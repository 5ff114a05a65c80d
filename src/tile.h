// The tile widget VarnelButton.
#pragma once

#include <FL/Fl_Button.H>

// A tile: a button that stays at its cell for the life of the board and
// shows the cell's value as its colour (and, in arrow mode, its arrow).
class VarnelButton : public Fl_Button {
public:
  int direction; // arrow direction 0..7, clockwise from up
  int col, row;
  int hover;           // 1 while the pointer is inside the tile
  bool hinted = false; // one of the two tiles of the last hint
  // Of those two, the tile to act on first; in arrow mode, when its arrow
  // does not point at the other yet, the direction it has to be turned to
  // (-1: none).
  bool hint_first = false;
  int hint_direction = -1;
  char label_text[256];
  // What the tile draws besides its colour and label, read from the board
  // that makes it: its cell's value, and the board's Symbols and arrow mode
  // switches. Null for a tile of no board: no glyph.
  const int *cell = nullptr;
  const bool *symbols = nullptr;
  const int *arrow_mode = nullptr;

  VarnelButton(int x, int y, int w, int h, const char *label = nullptr);
  ~VarnelButton() override {}
  void draw() override;
  int handle(int event) override;
  // Copies text into label_text and shows it, so callers may pass a temporary.
  void label(const char *text);
  // Shows the arrow of the tile's direction as its label, or no label.
  void show_arrow(bool shown);

  // Whether the keyboard (true) or the mouse (false) was used last on the
  // board; the focus is marked only while it is the keyboard.
  static void keys_in_use(bool keys);
  static bool keys_used();

private:
  static bool focus_from_keys;
  int handle_key();
  int jump_focus(int to_row, int to_col);
  Fl_Widget *cover() const;
  void draw_arrow();
  void draw_glyph();
  void draw_focus_mark();
};

// The width of the lines that mark a tile of this side for the keyboard:
// 1 on 40-pixel tiles, growing with them. The focus mark is three of them.
int mark_width(int tile);
// The side of the square an arrow is drawn in on a tile of side tile with
// text of size text: 14 on 40-pixel tiles with 11-pixel text, no larger
// than in proportion to either.
int arrow_side(int tile, int text);
// Space and Enter act on a tile as the left mouse button does.
bool acts_as_click(int key);
// The turn of the arrow that a key on a tile asks for: 1 clockwise (+), -1
// counter-clockwise (-), 0 none.
int arrow_turn(int key);
// Whether two widgets' areas overlap.
bool overlaps(const Fl_Widget *a, const Fl_Widget *b);
