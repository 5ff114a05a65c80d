// The marks that the Hint command leaves on two tiles.
#pragma once

#include <FL/Enumerations.H>

// Draws the mark on a tile at (x, y) of side size: a black triangle edged in
// white in each corner of the tile to act on first (first), in two corners
// of its partner.
void draw_hint_mark(int x, int y, int size, bool first);
// Draws, in ink, the outline of an arrow pointing in direction (0..7,
// clockwise from up) around the middle of a tile whose own arrow is drawn
// in a square of side arrow_size: where its arrow has to be turned to.
void draw_turn_outline(int x, int y, int size, int direction, int arrow_size, Fl_Color ink);
