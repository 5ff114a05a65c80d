// Glyphs on the tiles, one shape for each tile colour (Game -> Symbols).
// They are for players who do not tell every colour apart.
#pragma once

#include <FL/Enumerations.H>

// Draws the glyph of a cell value on a tile at (x, y) of side size whose
// face has the colour face: about half the tile, centred; or, beside an
// arrow drawn in a square of side arrow_size (0: none) in the middle, in the
// top-left corner up to the arrow. Values without a colour (empty, dead),
// and tiles too small to tell the twelve glyphs apart, get none.
void draw_symbol(int value, Fl_Color face, int x, int y, int size, int arrow_size);
// Black or white, whichever stands out more on a tile whose face has the
// colour face: the glyphs', the arrows' and the keyboard's focus mark's ink.
Fl_Color ink_on(Fl_Color face);
// The relative luminance of a colour, 0 to 1, as the web's contrast rules
// count it.
double luminance(Fl_Color c);
