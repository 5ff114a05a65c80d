// The mark that the Hint command leaves on two tiles.
#include "hint_mark.h"

#include <FL/fl_draw.H>
#include <algorithm>

// A shape in black and white shows on every tile colour and needs no colour
// told apart; it stays still, so the idle game stays asleep. The bottom-right
// corner is free of the glyph and the arrow.
void draw_hint_mark(int x, int y, int size) {
  int inset = size * 3 / 20, leg = size * 7 / 20, edge = std::max(1, size / 20);
  int right = x + size - 1 - inset, bottom = y + size - 1 - inset;
  fl_color(FL_WHITE);
  fl_polygon(right, bottom - leg, right, bottom, right - leg, bottom);
  // The hypotenuse moves in by edge as the legs do: by about 2.4 edges along them.
  int slant = edge * 12 / 5;
  fl_color(FL_BLACK);
  fl_polygon(right - edge, bottom - leg + slant, right - edge, bottom - edge, right - leg + slant,
             bottom - edge);
}
