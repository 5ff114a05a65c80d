// Game -> Records: the player's own records, a page per level and mode.
#pragma once

#include <FL/Fl.H>

class Fl_Window;
class Fl_Double_Window;

// The colour of the newest win's row, when this run has recorded it.
const Fl_Color NEWEST_WIN_COLOUR = 0xFFD25000;

// Opens the Records window beside the window `beside`, on the page given
// (records.h), with the records as they are now, replacing one that is
// open. The row of the newest win this run has recorded is highlighted.
// Reset Records asks first, then empties every page. Escape or the window
// manager's close closes it.
Fl_Double_Window *show_records(int page, Fl_Window *beside);

// The Records window while it shows, and the page it shows; null when it
// does not.
Fl_Double_Window *records_shown(int &page);

// Closes the Records window, if open: the game ends only once no window
// is shown.
void hide_records();
