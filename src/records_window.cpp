// The Records window: each page's best wins and statistics, and Reset
// Records.
#include "records_window.h"
#include "language.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Tabs.H>
#include <FL/fl_draw.H>
#include <FL/fl_ask.H>
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "dialogs.h"
#include "records_file.h"
#include "rules.h"
#include "sizes.h"
#include "window_place.h"

// The window's texts, in one place, looked up in the player's language
// where they are shown.
static const char TITLE[] = N_("Records");
static const char NOTHING_PLAYED[] = N_("No games played at this level and mode yet.");
static const char NO_WINS[] = N_("No wins yet.");
static const char RESET_BUTTON[] = N_("Reset Records");
static const char RESET_QUESTION[] = N_("Empty every page of your records? This cannot be undone.");
static const char *const COLUMNS[] = {"", N_("Moves"), N_("Date"), N_("Deal")};
static const char *const STATISTICS[] = {N_("Games played"),
                                         N_("Won"),
                                         N_("Win rate"),
                                         N_("Current streak"),
                                         N_("Longest streak"),
                                         N_("Fewest moves"),
                                         N_("Average moves of a win")};
static const char *const PAGE_NAMES[RECORD_PAGES] = {
    N_("Easy"), N_("Easy Arrow"), N_("Medium"), N_("Medium Arrow"),
    N_("Hard"), N_("Hard Arrow"), N_("Stupid"), N_("Stupid Arrow")};

// The Records window while it is open.
static Fl_Double_Window *open_records = nullptr;

// Column widths at 11-pixel text: rank, moves, date, deal.
static const int WIDTHS[] = {30, 80, 110, 110};
static const int ROW = 22, MARGIN = 10, WIN_W = 560;

// One cell of a table row, its text copied.
static Fl_Box *table_cell(int x, int y, int w, const std::string &text, Fl_Color colour) {
  Fl_Box *box = new Fl_Box(x, y, w, text_scaled(ROW));
  box->box(FL_FLAT_BOX);
  box->color(colour);
  box->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
  box->copy_label(text.c_str());
  return box;
}

static std::string date_text(long long date) {
  time_t when = (time_t)date;
  struct tm day;
  char text[32] = "?";
  if (localtime_r(&when, &day)) strftime(text, sizeof text, "%Y-%m-%d", &day);
  return text;
}

// A row of the table: the rank and each column's text.
static void win_row(int x, int &y, int rank, const WinRow &win, bool newest) {
  std::string texts[4] = {std::to_string(rank) + ".", std::to_string(win.moves),
                          date_text(win.date), win.deal < 0 ? "?" : std::to_string(win.deal)};
  Fl_Color colour = newest ? NEWEST_WIN_COLOUR : rank % 2 ? FL_WHITE : fl_rgb_color(235, 240, 250);
  for (int i = 0; i < 4; i++) {
    table_cell(x, y, text_scaled(WIDTHS[i]), texts[i], colour);
    x += text_scaled(WIDTHS[i]);
  }
  y += text_scaled(ROW);
}

// The statistics' values, in the order of STATISTICS.
static void statistics(const RecordPage &page, std::string values[7]) {
  char text[64];
  values[0] = std::to_string(page.played);
  values[1] = std::to_string(page.won);
  snprintf(text, sizeof text, "%d %%", page.played ? (int)(page.won * 100LL / page.played) : 0);
  values[2] = text;
  values[3] = std::to_string(page.streak);
  values[4] = std::to_string(page.longest);
  values[5] = page.best.empty() ? "-" : std::to_string(page.best.front().moves);
  snprintf(text, sizeof text, "%.1f", page.won ? (double)page.win_moves / page.won : 0.0);
  values[6] = page.won ? text : "-";
}

// One page: its best wins, then its statistics; or one line when it has
// no games.
static void fill_page(int x, int y, const RecordPage &page, int newest) {
  int wide = text_scaled(WIN_W - 2 * MARGIN), row = text_scaled(ROW);
  if (page.played == 0) {
    table_cell(x, y, wide, _(NOTHING_PLAYED), FL_WHITE);
    return;
  }
  int stats_y = y + row * (BEST_WINS + 2);
  for (int i = 0, cx = x; i < 4; cx += text_scaled(WIDTHS[i]), i++)
    table_cell(cx, y, text_scaled(WIDTHS[i]), COLUMNS[i][0] ? _(COLUMNS[i]) : "", FL_WHITE)
        ->labelfont(FL_BOLD);
  y += row;
  if (page.best.empty()) table_cell(x, y, wide, _(NO_WINS), FL_WHITE);
  for (size_t i = 0; i < page.best.size(); i++)
    win_row(x, y, (int)i + 1, page.best[i], (int)i == newest);
  std::string values[7];
  statistics(page, values);
  for (int i = 0; i < 7; i++, stats_y += row) {
    table_cell(x, stats_y, text_scaled(220), _(STATISTICS[i]), FL_WHITE);
    table_cell(x + text_scaled(220), stats_y, text_scaled(120), values[i], FL_WHITE);
  }
}

static void reset_records_cb(Fl_Widget *, void *);

static void close_cb(Fl_Widget *, void *) {
  hide_records();
}

// The width of a label at the game's text size, with room around it.
static int label_width(const char *label, int room) {
  fl_font(FL_HELVETICA, FL_NORMAL_SIZE);
  return (int)fl_width(label) + text_scaled(room);
}

// Wide enough for every page's tab: the toolkit squeezes tabs that do not
// fit into each other, and in some languages their names are long.
static int window_width() {
  int tabs = 0;
  for (const char *name : PAGE_NAMES)
    tabs += label_width(_(name), 14);
  return std::max(text_scaled(WIN_W), tabs);
}

// The window, built whole with every page: the first paint draws the
// page shown.
static Fl_Double_Window *build(int page_shown, const Records &records) {
  int newest_page = -1;
  WinRow newest = newest_win(newest_page);
  int w = window_width(), tab = text_scaled(26), row = text_scaled(ROW);
  int page_h = row * (BEST_WINS + 9) + 2 * MARGIN, button_h = text_scaled(30);
  Fl_Double_Window *win = new Fl_Double_Window(w, tab + page_h + button_h + 2 * MARGIN, _(TITLE));
  Fl_Tabs *tabs = new Fl_Tabs(0, 0, w, tab + page_h);
  for (int p = 0; p < RECORD_PAGES; p++) {
    Fl_Group *group = new Fl_Group(0, tab, w, page_h, _(PAGE_NAMES[p]));
    group->box(FL_FLAT_BOX);
    group->color(FL_WHITE);
    const RecordPage &page = records.pages[p];
    int at = -1;
    for (size_t i = 0; p == newest_page && i < page.best.size(); i++)
      if (page.best[i] == newest) at = (int)i;
    fill_page(MARGIN, tab + MARGIN, page, at);
    group->end();
    if (p == page_shown) tabs->value(group);
  }
  tabs->end();
  Fl_Button *reset = new Fl_Button(MARGIN, tab + page_h + MARGIN,
                                   std::max(text_scaled(130), label_width(_(RESET_BUTTON), 20)),
                                   button_h, _(RESET_BUTTON));
  reset->callback(reset_records_cb);
  win->end();
  win->callback(close_cb);
  return win;
}

// Without `beside`, where the window it replaces was.
Fl_Double_Window *show_records(int page, Fl_Window *beside) {
  int x = open_records ? open_records->x() : 0, y = open_records ? open_records->y() : 0;
  hide_records();
  open_records = build(page, current_records());
  if (beside)
    place_beside(open_records, beside);
  else
    open_records->position(x, y);
  open_records->show();
  return open_records;
}

Fl_Double_Window *records_shown(int &page) {
  if (!open_records || !open_records->shown()) return nullptr;
  Fl_Tabs *tabs = (Fl_Tabs *)open_records->child(0);
  page = tabs->find(tabs->value());
  return open_records;
}

void hide_records() {
  if (!open_records) return;
  open_records->hide();
  Fl::delete_widget(open_records);
  open_records = nullptr;
}

// Asks first; then every page is emptied, and the window shows them so,
// on the page it showed.
static void reset_records_cb(Fl_Widget *button, void *) {
  Fl_Window *over = button->window();
  prepare_dialog(over);
  if (fl_choice("%s", fl_cancel, _(RESET_BUTTON), nullptr, _(RESET_QUESTION)) != 1 ||
      open_records != over)
    return;
  RecordResult reset;
  reset.event = EVENT_RESET;
  record_result(reset);
  Fl_Tabs *tabs = (Fl_Tabs *)open_records->child(0);
  show_records(tabs->find(tabs->value()), nullptr);
}
