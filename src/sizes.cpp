// The text size the game runs with, and the window's starting size.
#include "sizes.h"

#include <FL/Fl.H>
#include <FL/x.H>
#include <X11/Xresource.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "rules.h"

int game_text_size = TEXT_SIZE;

void set_text_size(int size) {
  game_text_size = size;
  FL_NORMAL_SIZE = size;
}

// Xft.dpi, which desktops set for their text, over 96 in quarters on
// screens of 120 dpi or more; 1 otherwise and when nothing is set. The
// screen's physical size is not asked: virtual machines and virtual X
// servers report sizes that mean nothing.
static double desktop_scale() {
  const char *resources = XResourceManagerString(fl_display);
  if (!resources) return 1;
  XrmInitialize();
  XrmDatabase db = XrmGetStringDatabase(resources);
  char *type = nullptr;
  XrmValue value;
  double dpi = 0;
  if (XrmGetResource(db, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr) dpi = atof(value.addr);
  XrmDestroyDatabase(db);
  if (dpi < 120) return 1;
  return std::min(std::round(dpi / 96 * 4) / 4, 4.0);
}

// On a screen too small for the window the tiles shrink, in whole pixels,
// and the text stays as it is.
StartSize start_size() {
  double scale = desktop_scale();
  int row = (int)std::lround(MENU_ROW * scale);
  int x, y, w, h;
  Fl::screen_work_area(x, y, w, h);
  int room = std::min(w / BOARD_COLS, (h - row - (int)std::lround(TITLE_BAR * scale)) / BOARD_ROWS);
  int tile = std::max(8, std::min((int)std::lround(TILE_SIZE * scale), room));
  return {BOARD_COLS * tile, BOARD_ROWS * tile + row, (int)std::lround(TEXT_SIZE * scale)};
}
