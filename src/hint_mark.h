// The mark that the Hint command leaves on two tiles.
#pragma once

// Draws the mark on a tile at (x, y) of side size: a black corner with a
// white edge, inside the keyboard's focus mark and the pointer's outline.
void draw_hint_mark(int x, int y, int size);
