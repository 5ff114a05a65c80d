// The help windows: How to Play, Keys and About Varnel.
#pragma once

#include <FL/Fl_Window.H>

enum class HelpPage { HOW_TO_PLAY, KEYS, ABOUT };

// Shows the page's window, made on first use, and returns it: it opens
// beside the window `beside` where the screen has room. Asked for again
// while open, the window comes to the front with the focus: there is never
// a second copy. No help window holds up the game behind it, and Escape or the window
// manager's close hides it.
Fl_Window *show_help(HelpPage page, Fl_Window *beside = nullptr);
// Help → How to Play, Keys and About Varnel: each page opens beside the
// window of the menu it was picked from.
void help_cb(Fl_Widget *w, void *);
void keys_cb(Fl_Widget *w, void *);
void about_cb(Fl_Widget *w, void *);
// Hides every help window: the game ends only once no window is shown.
void hide_help();
