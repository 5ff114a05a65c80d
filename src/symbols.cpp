// The tiles' glyphs: twelve shapes in black or white.
// None is drawn where a tile is too small to keep them apart.
#include "symbols.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>
#include <algorithm>
#include <cmath>

double luminance(Fl_Color c) {
  uchar rgb[3];
  Fl::get_color(c, rgb[0], rgb[1], rgb[2]);
  double linear[3];
  for (int i = 0; i < 3; i++) {
    double v = rgb[i] / 255.0;
    linear[i] = v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  }
  return 0.2126 * linear[0] + 0.7152 * linear[1] + 0.0722 * linear[2];
}

// Black or white, whichever stands out more on face: the two contrast
// equally with a luminance of about 0.18.
Fl_Color ink_on(Fl_Color face) {
  return luminance(face) > 0.18 ? FL_BLACK : FL_WHITE;
}

// A stroke of width t from (x1, y1) to (x2, y2), as a filled polygon: wide
// lines of the X server end in slants that differ with the angle.
static void stroke(double x1, double y1, double x2, double y2, double t) {
  double dx = x2 - x1, dy = y2 - y1, len = std::sqrt(dx * dx + dy * dy);
  double nx = -dy / len * t / 2, ny = dx / len * t / 2;
  fl_begin_polygon();
  fl_vertex(x1 + nx, y1 + ny);
  fl_vertex(x2 + nx, y2 + ny);
  fl_vertex(x2 - nx, y2 - ny);
  fl_vertex(x1 - nx, y1 - ny);
  fl_end_polygon();
}

static void star(double cx, double cy, double r) {
  fl_begin_complex_polygon();
  for (int i = 0; i < 10; i++) {
    double a = M_PI * i / 5, d = i % 2 ? r * 0.45 : r;
    fl_vertex(cx + d * std::sin(a), cy - d * std::cos(a));
  }
  fl_end_complex_polygon();
}

// Smaller, some of the twelve glyphs look alike (disc and ring, square
// and frame): tiles too small for this carry none.
static const int SMALLEST_GLYPH = 7;

// The glyph of colour `value` in the square (x, y, s); hole is the tile's
// face, which shows through the ring and the frame.
static void glyph(int value, int x, int y, int s, Fl_Color ink, Fl_Color hole) {
  int t = s / 4 > 2 ? s / 4 : 2; // the strokes' width
  int mid = s / 2, m = s / 8;
  double cx = x + s / 2.0, cy = y + s / 2.0;
  fl_color(ink);
  switch (value) {
  case 0: // disc
    fl_pie(x, y, s, s, 0, 360);
    break;
  case 1: // square
    fl_rectf(x + m, y + m, s - 2 * m, s - 2 * m);
    break;
  case 2: // triangle, point up
    fl_polygon(x, y + s, x + mid, y, x + s, y + s);
    break;
  case 3: // diamond
    fl_polygon(x + mid, y, x + s, y + mid, x + mid, y + s, x, y + mid);
    break;
  case 4: // plus
    fl_rectf(x, y + (s - t) / 2, s, t);
    fl_rectf(x + (s - t) / 2, y, t, s);
    break;
  case 5: // cross
    stroke(x + t / 2.0, y + t / 2.0, x + s - t / 2.0, y + s - t / 2.0, t);
    stroke(x + s - t / 2.0, y + t / 2.0, x + t / 2.0, y + s - t / 2.0, t);
    break;
  case 6: // bar across
    fl_rectf(x, y + s / 3, s, s - 2 * (s / 3));
    break;
  case 7: // ring
    fl_pie(x, y, s, s, 0, 360);
    fl_color(hole);
    fl_pie(x + t, y + t, s - 2 * t, s - 2 * t, 0, 360);
    break;
  case 8: // star
    star(cx, cy + s * 0.05, s * 0.55);
    break;
  case 9: // triangle, point down
    fl_polygon(x, y, x + s, y, x + mid, y + s);
    break;
  case 10: // frame
    fl_rectf(x, y, s, s);
    fl_color(hole);
    fl_rectf(x + t, y + t, s - 2 * t, s - 2 * t);
    break;
  case 11: // bar upright
    fl_rectf(x + s / 3, y, s - 2 * (s / 3), s);
    break;
  }
}

void draw_symbol(int value, Fl_Color face, int x, int y, int size, int arrow_size) {
  if (value < 0 || value > 11) return;
  int s, at;
  if (arrow_size > 0) {
    // The glyph takes the corner, inside the bevel, up to a one-pixel gap
    // before the arrow. Drawn in any of its eight directions, the arrow
    // leaves the corner's square free up to 4 pixels from the tile's middle,
    // whatever its size (measured on 8- to 80-pixel tiles); a little more
    // is kept where it is large.
    at = std::max(size / 12, 3);
    s = size / 2 - std::max(4, arrow_size * 2 / 7) - 1 - at;
  } else {
    // Inside the selection outline, a quarter in.
    s = size * 9 / 20;
    at = (size - s) / 2;
  }
  if (s < SMALLEST_GLYPH) return;
  glyph(value, x + at, y + at, s, ink_on(face), face);
}
