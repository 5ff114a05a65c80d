// The game's sizes: tiles, text, the menu row, and the window's starting size.
#pragma once

// Sizes on a 96-dpi screen that holds the whole window; the game draws its
// tiles, text and controls in proportion to them.
const int TILE_SIZE = 40;
const int TEXT_SIZE = 11; // the toolkit's normal label size
const int MENU_ROW = 30;  // the row of the menu bar and the two boxes
const int TITLE_BAR = 32; // room left above a window for a window manager's title

// The text size the game runs with, TEXT_SIZE until set_text_size.
extern int game_text_size;
// Sets the text size of every widget made from now on: called once, before
// any widget exists.
void set_text_size(int size);
// A length around the text (the top-scores table) as drawn with 11-pixel
// text, at the text size the game runs with.
inline int text_scaled(int length) {
  return length * game_text_size / TEXT_SIZE;
}

// The main window's size and the text size to start with on the screen the
// window opens on: 800 x 830 and 11 on a 96-dpi screen that holds it.
// Needs the display open.
struct StartSize {
  int w, h;
  int text;
};
StartSize start_size();
