// The help windows: How to Play, Keys and About Varnel.
// Their texts are the README's sections "How to play" and "Keys", compiled in
// at build time.
#include "help.h"
#include "language.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Text_Display.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
#include <algorithm>
#include <cstdio>
#include <string>

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
// The lines of a help text in the player's language, one paragraph or item
// each; the empty ones part the paragraphs.
static std::string text_of(const char *const *lines) {
  std::string text;
  for (; *lines; lines++)
    text += std::string(**lines ? _(*lines) : "") + "\n";
  return text;
}

static Fl_Window *text_window(const char *title, const char *const *lines) {
  Fl_Double_Window *win = help_window(520, 460, title);
  Fl_Text_Display *display = new Fl_Text_Display(0, 0, win->w(), win->h());
  Fl_Text_Buffer *buffer = new Fl_Text_Buffer();
  buffer->text(text_of(lines).c_str());
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

// The languages the game's texts come in, each in its own words.
static const char LANGUAGES[] = "English, Deutsch, Français, Español, Italiano, "
                                "Português (Brasil), Nederlands, Polski, Čeština, "
                                "Русский, Українська";

// One paragraph of the About window, at least h high in 11-pixel text and
// as high as its text needs, wrapped to the window's width.
static Fl_Box *about_line(int &y, int h, const std::string &text) {
  int pad = text_scaled(12), w = text_scaled(360) - 2 * pad;
  Fl_Box *line = new Fl_Box(pad, y, w, text_scaled(h));
  line->copy_label(text.c_str());
  line->align(FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
  int text_w = w, text_h = 0;
  fl_font(line->labelfont(), line->labelsize());
  fl_measure(line->label(), text_w, text_h, 0);
  line->size(w, std::max(line->h(), text_h + text_scaled(4)));
  y += line->h();
  return line;
}

// A line with a word of the game's own in it.
static std::string filled(const char *pattern, const char *word) {
  char text[512];
  snprintf(text, sizeof text, pattern, word);
  return text;
}

static Fl_Window *about_window() {
  Fl_Double_Window *win = help_window(360, 210, _("About Varnel"));
  int y = text_scaled(12);
  Fl_Box *name = about_line(y, 30, "Varnel");
  name->labelfont(FL_BOLD);
  name->labelsize(text_scaled(20));
  about_line(y, 20, filled(_("Version %s"), VARNEL_VERSION));
  about_line(y, 40,
             _("A tile-matching game for one player: swap neighbouring tiles "
               "to clear a whole column of the board."));
  about_line(y, 20, _("Free software under the MIT licence."));
  about_line(y, 40,
             _("Speech (Game › Speech) needs the packages speech-dispatcher and "
               "speech-dispatcher-espeak-ng."));
  about_line(y, 40, filled(_("Languages: %s."), LANGUAGES));
  int bw = text_scaled(80), bh = text_scaled(26), pad = text_scaled(12);
  fl_font(FL_HELVETICA, FL_NORMAL_SIZE);
  bw = std::max(bw, (int)fl_width(fl_close) + 2 * pad);
  // As high as its paragraphs need in the player's language.
  win->size(win->w(), y + bh + 2 * pad);
  Fl_Button *close = new Fl_Return_Button((win->w() - bw) / 2, y + pad, bw, bh, fl_close);
  close->callback(close_cb);
  win->end();
  return win;
}

Fl_Window *show_help(HelpPage page, Fl_Window *beside) {
  Fl_Window *&win = windows[(int)page];
  if (!win) {
    switch (page) {
    case HelpPage::HOW_TO_PLAY:
      win = text_window(_("How to Play — Varnel"), HOW_TO_PLAY_LINES);
      break;
    case HelpPage::KEYS:
      win = text_window(_("Keys — Varnel"), KEYS_LINES);
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
