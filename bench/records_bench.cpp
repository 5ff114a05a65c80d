// The player's records: the time a result costs the GUI thread (median and
// worst of 1,000) and then its writer thread, the records file at its size
// bound and the cost of reading it there, and the time from Game -> Records
// with every page full to the window's first paint.
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/x.H>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "game_tally.h"
#include "records_file.h"
#include "records_window.h"
#include "varnel.h"
#include "window_place.h"

static double now_ms() {
  return std::chrono::duration<double, std::milli>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

static void print(const char *what, std::vector<double> t) {
  std::sort(t.begin(), t.end());
  printf("%-44s %10.3f ms, worst %.3f ms (of %zu)\n", what, t[t.size() / 2], t.back(), t.size());
}

// The largest text records can have: every count and date at its most.
static size_t largest_text() {
  Records records;
  for (RecordPage &page : records.pages) {
    page.played = page.won = page.streak = page.longest = 999999999;
    page.win_moves = 999999999LL * 999999999LL;
    page.best.assign(BEST_WINS, WinRow{999999999, 99999999999LL, 4294967295L});
  }
  return records_text(records).size();
}

static int open_w = 560, open_h = 600;

int main() {
  Fl::visual(FL_DOUBLE);
  main_window = new MainWin(1, 800, 830, "Varnel bench");
  main_window->wait_for_expose();
  // Each result as the board makes it: a game's first move, then its win,
  // on every page in turn; 1,000 of them fill each page's ten best wins.
  // Each then waits for the writer: a player's results are further apart.
  std::vector<double> gui, written;
  for (int i = 0; i < 1000; i++) {
    GameTally tally = new_tally(i, i % 4, i / 4 % 2);
    tally.state = TALLY_PLAYED;
    double t0 = now_ms();
    tally_won(tally, false, 30 + i % 50);
    gui.push_back(now_ms() - t0);
    finish_keeping_records();
    written.push_back(now_ms() - t0 - gui.back());
  }
  print("recording a result, GUI thread", gui);
  print("then the records file written, writer thread", written);
  std::vector<double> read;
  for (int i = 0; i < 1000; i++) {
    double t0 = now_ms();
    current_records();
    read.push_back(now_ms() - t0);
  }
  printf("%-44s %10zu bytes, %zu bytes with every page full here\n", "records file at its bound",
         largest_text(), records_text(current_records()).size());
  print("reading the records file, full pages", read);
  // Against the floor: a bare window of the same size, shown the same way,
  // in turn with it. The mapping's round trips to the X server are most
  // of either.
  std::vector<double> open, floor;
  for (int i = 0; i < 42; i++) {
    double t0 = now_ms();
    Fl_Double_Window *win = i % 2 ? new Fl_Double_Window(open_w, open_h, "floor")
                                  : show_records(i / 2 % RECORD_PAGES, main_window);
    if (i % 2) place_beside(win, main_window), win->show();
    win->wait_for_expose();
    Fl::flush();
    XSync(fl_display, False);
    (i % 2 ? floor : open).push_back(now_ms() - t0);
    open_w = win->w(), open_h = win->h();
    i % 2 ? (void)(delete win) : hide_records();
    Fl::check();
  }
  print("opening Records, full pages, to first paint", open);
  print("  a bare window of its size, the same way", floor);
  delete main_window;
  return 0;
}
