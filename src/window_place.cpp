// Where the game's other windows open, and bringing one to the player.
#include "window_place.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>
#include <algorithm>

// Room between two windows for their window manager's frames.
static const int FRAME_GAP = 10;

void place_beside(Fl_Window *win, Fl_Window *beside) {
  if (win->shown() || !beside || !beside->shown()) return;
  int sx, sy, sw, sh;
  Fl::screen_work_area(sx, sy, sw, sh, beside->x(), beside->y());
  int right = beside->x() + beside->w() + FRAME_GAP, left = beside->x() - FRAME_GAP - win->w();
  int x;
  if (right + win->w() <= sx + sw)
    x = right;
  else if (left >= sx)
    x = left;
  else
    return;
  win->position(x, std::max(sy, std::min(beside->y(), sy + sh - win->h())));
}

// Mapping a window raises it, but a window manager gives the focus only to
// a window it activates, and it keeps a fullscreen window above every
// other window until one of them is active. The request names the key
// press or click that asked for the window, so that the window manager sees
// it as the player's own.
static void activate(Fl_Window *win) {
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = fl_xid(win);
  event.xclient.message_type = XInternAtom(fl_display, "_NET_ACTIVE_WINDOW", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = 1; // asked for by an application
  event.xclient.data.l[1] = (long)fl_event_time;
  XSendEvent(fl_display, RootWindow(fl_display, fl_screen), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(fl_display);
}

void show_in_front(Fl_Window *win) {
  bool shown = win->shown();
  win->show();
  if (shown) activate(win);
}
