// The marks that the Hint command leaves on two tiles.
#include "hint_mark.h"

#include <FL/fl_draw.H>
#include <algorithm>
#include <cmath>

// A black triangle with a white edge in the corner at (px, py), its legs
// running along the tile's edges inwards, dx and dy (1 or -1) apart.
static void corner(int px, int py, int dx, int dy, int leg, int edge) {
  fl_color(FL_WHITE);
  fl_polygon(px, py + dy * leg, px, py, px + dx * leg, py);
  // The hypotenuse moves in by edge as the legs do: by about 2.4 edges along them.
  int slant = edge * 12 / 5;
  fl_color(FL_BLACK);
  fl_polygon(px + dx * edge, py + dy * (leg - slant), px + dx * edge, py + dy * edge,
             px + dx * (leg - slant), py + dy * edge);
}

// Black and white show on every tile colour and need no colour told apart;
// the marks stay still, so the idle game stays asleep. Large corners make
// the pair easy to find on a full board; they keep clear of a centred glyph.
void draw_hint_mark(int x, int y, int size, bool first) {
  int inset = std::max(1, size / 20), leg = size * 3 / 10, edge = std::max(1, size / 20);
  int left = x + inset, top = y + inset;
  int right = x + size - 1 - inset, bottom = y + size - 1 - inset;
  corner(right, bottom, -1, -1, leg, edge);
  corner(left, top, 1, 1, leg, edge);
  if (!first) return;
  corner(right, top, -1, 1, leg, edge);
  corner(left, bottom, 1, -1, leg, edge);
}

void draw_turn_outline(int x, int y, int size, int direction, int arrow_size, Fl_Color ink) {
  double angle = direction * M_PI / 4;                // clockwise from up
  double ux = std::sin(angle), uy = -std::cos(angle); // where it points
  double vx = -uy, vy = ux;                           // across it
  double cx = x + size / 2.0, cy = y + size / 2.0;
  // Around the arrow, well clear of it, within the tile.
  double half = std::min(arrow_size * 0.8, size * 0.3);
  int line = std::max(2, size / 20);
  fl_color(ink);
  fl_line_style(FL_SOLID | FL_JOIN_MITER, line);
  fl_begin_loop();
  fl_vertex(cx + ux * half, cy + uy * half);
  fl_vertex(cx - ux * half + vx * half, cy - uy * half + vy * half);
  fl_vertex(cx - ux * half - vx * half, cy - uy * half - vy * half);
  fl_end_loop();
  fl_line_style(0);
}
