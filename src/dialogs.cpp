// The message dialogs' layout: title, place over the main window, field height.
#include "dialogs.h"

#include <FL/Fl.H>
#include <FL/Fl_Input_.H>
#include <FL/Fl_Window.H>
#include <FL/fl_ask.H>
#include <algorithm>

#include "sizes.h"

// The window the next dialog opens over.
static Fl_Window *dialog_over = nullptr;

// dialog_over while it is still shown; it may have gone since
// prepare_dialog.
static Fl_Window *window_to_centre_over() {
  for (Fl_Window *w = Fl::first_window(); w; w = Fl::next_window(w))
    if (w == dialog_over) return w;
  return nullptr;
}

// The dialog on the screen, once shown: its input field made as high as
// the text needs (the toolkit makes it 25 pixels high at any text size),
// and the dialog centred over the main window.
static void fit_dialog(void *) {
  Fl_Window *dialog = fl_message_icon()->window();
  if (!dialog || !dialog->shown()) return;
  int grow = 0, below = dialog->h();
  for (int i = 0; i < dialog->children(); i++) {
    Fl_Input_ *input = dynamic_cast<Fl_Input_ *>(dialog->child(i));
    if (!input || !input->visible()) continue;
    grow = std::max(0, text_scaled(25) - input->h());
    below = input->y() + input->h();
    input->size(input->w(), input->h() + grow);
  }
  for (int i = 0; i < dialog->children(); i++) {
    Fl_Widget *child = dialog->child(i);
    if (child->y() >= below) child->position(child->x(), child->y() + grow);
  }
  int x = dialog->x(), y = dialog->y(), w = dialog->w(), h = dialog->h() + grow;
  if (Fl_Window *over = window_to_centre_over()) {
    int sx, sy, sw, sh;
    Fl::screen_work_area(sx, sy, sw, sh, over->x(), over->y());
    x = std::max(sx, std::min(over->x() + (over->w() - w) / 2, sx + sw - w));
    y = std::max(sy, std::min(over->y() + (over->h() - h) / 2, sy + sh - h));
  }
  // Without its resizable widget the dialog keeps its children where they
  // are, and stays of a fixed size.
  Fl_Widget *resizable = dialog->resizable();
  dialog->resizable(nullptr);
  dialog->resize(x, y, w, h);
  dialog->resizable(resizable);
  dialog->init_sizes();
}

void prepare_dialog(Fl_Window *over) {
  dialog_over = over;
  fl_message_hotspot(0);
  fl_message_title("Varnel");
  Fl::remove_timeout(fit_dialog);
  Fl::add_timeout(0.0, fit_dialog);
}
