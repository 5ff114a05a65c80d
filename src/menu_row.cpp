// The menu row's widgets, whose texts fit the room the window leaves them.
#include "menu_row.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>
#include <algorithm>
#include <cstring>

#include "sizes.h"

// The room a label has inside the box, two pixels clear of the bevel on
// each side: a glyph may reach past its advance by a pixel.
static void label_room(const Fl_Widget *box, int &w, int &h) {
  w = box->w() - Fl::box_dw(box->box()) - 4;
  h = box->h() - Fl::box_dh(box->box());
}

FitBox::FitBox(int x, int y, int w, int h, const char *label) : Fl_Box(x, y, w, h, label) {
  box(FL_DOWN_BOX);
  color(fl_rgb_color(255, 200, 220));
}

void FitBox::set_text(const char *text) {
  if (label() && strcmp(label(), text) == 0) return;
  label(text);
  redraw();
}

bool FitBox::fits(int size, bool wrap) const {
  int room_w, room_h;
  label_room(this, room_w, room_h);
  fl_font(labelfont(), size);
  // The toolkit wraps at the label's whole width.
  int w = wrap ? this->w() - Fl::box_dw(box()) : 0, h = 0;
  fl_measure(label(), w, h, 0);
  return w <= room_w && h <= room_h;
}

int FitBox::fitted_size(bool &wrap) const {
  wrap = false;
  int s = labelsize();
  if (!label() || !label()[0]) return s;
  for (; s > 1 && !fits(s, false); s--)
    if (fits(s, true)) {
      wrap = true;
      break;
    }
  return s;
}

// The label at the largest size at which it fits, on one line or else on
// two. The box's own size and alignment are set for this drawing only.
void FitBox::draw() {
  int size = labelsize();
  Fl_Align alignment = align();
  bool wrap = false;
  labelsize(fitted_size(wrap));
  if (wrap) align(alignment | FL_ALIGN_WRAP);
  fl_push_clip(x(), y(), w(), h());
  Fl_Box::draw();
  fl_pop_clip();
  labelsize(size);
  align(alignment);
}

RowMenuBar::RowMenuBar(int x, int y, int w, int h, const Fl_Menu_Item *menus)
    : Fl_Menu_Bar(x, y, w, h) {
  textcolor(FL_FOREGROUND_COLOR);
  // A copy of its own: its marks and title sizes are this bar's alone.
  copy(menus);
  fit_titles();
}

void RowMenuBar::draw() {
  fl_push_clip(x(), y(), w(), h());
  Fl_Menu_Bar::draw();
  fl_pop_clip();
}

void RowMenuBar::resize(int x, int y, int w, int h) {
  Fl_Menu_Bar::resize(x, y, w, h);
  fit_titles();
}

// The toolkit lays the titles out from 6 pixels in, each 16 wider than its
// text; a title's own size, where set, wins over the bar's text size, and 0
// leaves it to the bar.
int RowMenuBar::titles_width(int size) {
  int width = 6;
  for (Fl_Menu_Item *m = (Fl_Menu_Item *)menu(); m && m->text; m = m->next()) {
    m->labelsize(size == textsize() ? 0 : size);
    width += m->measure(nullptr, this) + 16;
  }
  return width;
}

void RowMenuBar::fit_titles() {
  int size = textsize();
  while (size > 1 && titles_width(size) > w())
    size--;
  redraw();
}

void lay_out_menu_row(RowMenuBar *bar, Fl_Widget *level_box, Fl_Widget *moves_box, int w, int row) {
  auto scaled = [row](int length) { return length * row / MENU_ROW; };
  int gap = scaled(10), top = scaled(2), full = scaled(100);
  int left = (w - gap - bar->titles_width(bar->textsize())) / 2;
  int box_w = std::max(w / 8, std::min(full, left));
  bar->resize(0, 0, w - 2 * box_w - gap, row);
  level_box->resize(w - 2 * box_w - gap, top, box_w, row - 2 * top);
  moves_box->resize(w - box_w, top, box_w, row - 2 * top);
}

void RowMenuBar::mark(Fl_Callback *command, bool on) {
  int item = find_index(command);
  if (item < 0) return;
  int flags = mode(item);
  mode(item, on ? flags | FL_MENU_VALUE : flags & ~FL_MENU_VALUE);
}

void RowMenuBar::mark_only(Fl_Callback *command) {
  int item = find_index(command);
  if (item >= 0) ((Fl_Menu_Item *)menu())[item].setonly();
}

void RowMenuBar::open_first_menu() {
  picked(menu()->pulldown(x(), y(), w(), h(), menu(), this, nullptr, 1));
}
