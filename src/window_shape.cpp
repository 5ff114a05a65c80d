// The main window's shape: its layout at any size, and the keys that change
// it (F11) or open its first menu (F10).
#include "main_window.h"

#include <FL/Fl_Menu_Bar.H>
#include <algorithm>

#include "sizes.h"

// The toolkit scales every child alike. The menu row keeps its height, which
// its text needs, and its texts their room where the window has it. The
// window may take any shape: the board is the largest square of whole tiles
// below the menu row, centred in the room left.
void MainWin::resize(int x, int y, int w, int h) {
  Fl_Double_Window::resize(x, y, w, h);
  lay_out_menu_row(menu_bar, difficulty_box, game->moves_box, w, row);
  int side = std::min(w, h - row) / BOARD_COLS * BOARD_COLS;
  if (side <= 0) return;
  game->resize((w - side) / 2, row + (h - row - side) / 2, side, side);
}

// F10 opens the Game menu and F11 switches fullscreen on and off; the tiles
// take neither key, so both work wherever the keyboard's focus is.
int MainWin::handle(int event) {
  if (event != FL_SHORTCUT || Fl::event_state(FL_SHIFT | FL_CTRL | FL_ALT | FL_META))
    return Fl_Double_Window::handle(event);
  if (Fl::event_key() == FL_F + 10) {
    menu_bar->open_first_menu();
    return 1;
  }
  if (Fl::event_key() == FL_F + 11) {
    if (fullscreen_active()) {
      fullscreen_off();
      limit_size(false);
    } else {
      limit_size(true);
      fullscreen();
    }
    return 1;
  }
  return Fl_Double_Window::handle(event);
}
