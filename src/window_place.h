// Where the game's other windows open, and bringing one to the player.
#pragma once

class Fl_Window;

// Places win, not yet shown, beside the window `beside` (the main window,
// shown): on its right where the screen's work area has room, else on its
// left. Where neither side has room the window manager places it, as it
// does any new window.
void place_beside(Fl_Window *win, Fl_Window *beside);

// Shows win. One shown already comes to the front with the keyboard's
// focus, over a fullscreen main window too.
void show_in_front(Fl_Window *win);
