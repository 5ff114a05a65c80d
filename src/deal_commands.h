// Game -> Play Deal... and Today's Deal, and the deal in the main window's
// title.
#pragma once

class Fl_Window;
class Varnel;

// Asks for a deal number over the window `over`, offering `current` (when
// known); a bad number is told in the dialog, which asks again. True with
// a good number in `deal`; false when the player cancels.
bool ask_deal_number(Fl_Window *over, long current, long &deal);

// A new game of this deal on the board, at its level and mode.
void start_deal(Varnel *game, long deal);

// The window's title names the deal of the game on the board.
void show_deal_in_title(Fl_Window *win, long deal);
