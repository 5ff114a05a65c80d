// The help windows: How to Play, Keys and About Varnel.
// Their texts are the README's sections "How to play" and "Keys", compiled in
// at build time.
#include "help.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Text_Display.H>
#include <algorithm>

#include "help_text.h"
#include "sizes.h"
#include "window_place.h"

static Fl_Window *windows[3];

// A window w x h (lengths at 11-pixel text, scaled with the game's text),
// no taller than three quarters of the screen's work area: window managers
// cascade new windows down the screen, and a taller one would run off it.
static Fl_Double_Window *help_window(int w, int h, const char *title) {
  int sx, sy, sw, sh;
  Fl::screen_work_area(sx, sy, sw, sh);
  w = std::min(text_scaled(w), sw);
  h = std::min(text_scaled(h), sh * 3 / 4);
  Fl_Group::current(nullptr); // a window of its own, whatever is being built
  return new Fl_Double_Window(w, h, title);
}

// A text that wraps at the window's width and scrolls with the arrow keys,
// Page Up and Page Down.
static Fl_Window *text_window(const char *title, const char *text) {
  Fl_Double_Window *win = help_window(520, 460, title);
  Fl_Text_Display *display = new Fl_Text_Display(0, 0, win->w(), win->h());
  Fl_Text_Buffer *buffer = new Fl_Text_Buffer();
  buffer->text(text);
  display->buffer(buffer);
  display->box(FL_FLAT_BOX);
  display->textsize(text_scaled(13));
  display->scrollbar_width(text_scaled(Fl::scrollbar_size()));
  display->wrap_mode(Fl_Text_Display::WRAP_AT_BOUNDS, 0);
  win->end();
  win->resizable(display);
  return win;
}

static void close_cb(Fl_Widget *button, void *) {
  button->window()->hide();
}

// One line of the About window, at its height in 11-pixel text.
static Fl_Box *about_line(int &y, int h, const char *text) {
  int pad = text_scaled(12);
  Fl_Box *line = new Fl_Box(pad, y, text_scaled(360) - 2 * pad, text_scaled(h), text);
  line->align(FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
  y += text_scaled(h);
  return line;
}

static Fl_Window *about_window() {
  Fl_Double_Window *win = help_window(360, 210, "About Varnel");
  int y = text_scaled(12);
  Fl_Box *name = about_line(y, 30, "Varnel");
  name->labelfont(FL_BOLD);
  name->labelsize(text_scaled(20));
  about_line(y, 20, "Version " VARNEL_VERSION);
  about_line(y, 40,
             "A tile-matching game for one player: swap neighbouring tiles "
             "to clear a whole column of the board.");
  about_line(y, 20, "Free software under the MIT licence.");
  about_line(y, 40,
             "Speech (Game › Speech) needs the packages speech-dispatcher and "
             "speech-dispatcher-espeak-ng.");
  int bw = text_scaled(80), bh = text_scaled(26);
  Fl_Button *close =
      new Fl_Return_Button((win->w() - bw) / 2, win->h() - bh - text_scaled(12), bw, bh, "Close");
  close->callback(close_cb);
  win->end();
  return win;
}

Fl_Window *show_help(HelpPage page, Fl_Window *beside) {
  Fl_Window *&win = windows[(int)page];
  if (!win) {
    switch (page) {
    case HelpPage::HOW_TO_PLAY:
      win = text_window("How to Play — Varnel", HOW_TO_PLAY_TEXT);
      break;
    case HelpPage::KEYS:
      win = text_window("Keys — Varnel", KEYS_TEXT);
      break;
    case HelpPage::ABOUT:
      win = about_window();
      break;
    }
  }
  place_beside(win, beside);
  show_in_front(win);
  return win;
}

void hide_help() {
  for (Fl_Window *win : windows)
    if (win) win->hide();
}

static Fl_Window *window_of(Fl_Widget *w) {
  return w ? w->top_window() : nullptr;
}
void help_cb(Fl_Widget *w, void *) {
  show_help(HelpPage::HOW_TO_PLAY, window_of(w));
}
void keys_cb(Fl_Widget *w, void *) {
  show_help(HelpPage::KEYS, window_of(w));
}
void about_cb(Fl_Widget *w, void *) {
  show_help(HelpPage::ABOUT, window_of(w));
}
