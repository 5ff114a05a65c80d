// The menu row's widgets, whose texts fit the room the window leaves them.
#pragma once

#include <FL/Fl_Box.H>
#include <FL/Fl_Menu_Bar.H>

// A status box whose label shrinks, and wraps onto a second line, where it
// would not fit at its size, and never draws outside the box: nothing is
// left behind when the text changes.
class FitBox : public Fl_Box {
public:
  // A status box of the menu row: sunken, pink.
  FitBox(int x, int y, int w, int h, const char *label = nullptr);
  void draw() override;
  // Shows text, a static string, drawing the box again only when it changes.
  void set_text(const char *text);
  // The largest label size at which the text fits, on one line or, with
  // wrap set, on two.
  int fitted_size(bool &wrap) const;

private:
  bool fits(int size, bool wrap) const;
};

// A menu bar whose titles shrink together where they would not fit its
// width; its entries keep their size. Nothing is drawn outside it.
class RowMenuBar : public Fl_Menu_Bar {
public:
  // A bar of the row's text colour with these menus.
  RowMenuBar(int x, int y, int w, int h, const Fl_Menu_Item *menus);
  void draw() override;
  void resize(int x, int y, int w, int h) override;
  // Sizes the titles for the bar's width: called once its menu is set, and
  // at every resize.
  void fit_titles();
  // The width the titles take at this text size.
  int titles_width(int size);
  // Sets or clears the mark of the entry with this command in the bar's own
  // items; marks the radio entry with this command alone.
  void mark(Fl_Callback *command, bool on);
  void mark_only(Fl_Callback *command);
  // Opens the first menu as a click on its title does. The command picked
  // may end the game: nothing of the window is touched after it.
  void open_first_menu();
};

// Lays the menu row of a window w wide out, row high: the bar on the left,
// then the level box and the move box. At 30 pixels high and 800 wide the
// bar is 590 wide, each box 100 x 26 at 2 from the top, 10 apart; in a
// narrower window the boxes keep that width as long as the titles fit, then
// take what the titles leave them, and below an eighth of the window each
// the three shrink alike.
void lay_out_menu_row(RowMenuBar *bar, Fl_Widget *level_box, Fl_Widget *moves_box, int w, int row);
