// The result button, shown over the middle of the board when a game ends.
#pragma once

#include <FL/Fl_Button.H>

#include "rules.h"
#include "tile.h"

// While it shows, the button takes the place of the tiles it covers in the
// keyboard's order: it stands in for one of them, the cell it holds, and the
// focus moves on from it as from that tile.
class ResultButton : public Fl_Button {
public:
  // tiles: the board's tiles, for the keyboard's order around the button.
  ResultButton(int x, int y, int w, int h, VarnelButton *(*tiles)[BOARD_COLS]);
  int handle(int event) override;
  void resize(int x, int y, int w, int h) override;

  // Shows the button with this label and these colours. It stands in for the first tile it covers,
  // or for the covered tile that the keyboard's focus is on, and takes that focus.
  void reveal(const char *text, Fl_Color colour, Fl_Color text_colour);
  // Hides the button; a new game from the keyboard on it leaves the focus
  // on the tile it stood for.
  void withdraw();
  // Shows a win (1, "You Win!") or a loss (-1, "You Lose.") in its colours,
  // as reveal does, or withdraws the button (0).
  void show_result(int result);
  // The result shown: 1 a win, -1 a loss, 0 none.
  int shown_result() const { return shown; }
  // Once the toolkit has moved the focus onto a tile that the button
  // covers, the button stands in for that tile.
  void take_focus_from_covered_tile();
  bool covers(const Fl_Widget *tile) const;
  // Whether the button must be drawn again once its board has drawn: a tile
  // repainted alone under it (a hover, a step of a move) would cover it, and
  // so would the outline of the selected tile.
  bool drawn_over(const Fl_Widget *selected) const;

private:
  VarnelButton *(*tiles)[BOARD_COLS];
  int row = 0, col = 0; // the cell the button stands for
  int text_size;        // the label's size on a full-size board
  int shown = 0;        // the result shown
  void fit_label();
  void stand_in_for(const VarnelButton *tile);
  VarnelButton *focused_covered_tile() const;
  int covered_tile_key();
  int own_key();
};
