// Prints the cost of the board's animation on the current X display: one
// animation step (one cell changed, the board repainted, Fl::check), a new
// game's whole initial resolution, a long cascade, keeping the game after a
// move (in $XDG_STATE_HOME, left there with a full undo history), and a hint
// on a full board.
#include <FL/Fl.H>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "board_game.h"
#include "hint_command.h"
#include "kept_game.h"
#include "pa.h"
#include "varnel.h"

static double now_ms() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

static double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// One step as the board's animation makes it.
static std::vector<double> time_steps(Varnel *b, int n) {
  std::vector<double> t;
  for (int i = 0; i < n; i++) {
    double t0 = now_ms();
    b->Array(10, i % 20, b->board[10][i % 20] == 0 ? 1 : 0);
    b->redraw();
    Fl::check();
    t.push_back(now_ms() - t0);
  }
  return t;
}

// A board of columns that each hold one matching square low down, so that
// clearing them lets most of the board fall and cascade.
static void build_cascade(Varnel *b) {
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++)
      b->Array(r, c, r == 0 ? CELL_EMPTY : (r * 3 + c * 5 + (r / 3)) % 7 + 1);
  for (int c = 0; c < BOARD_COLS; c += 2)
    for (int r = 17; r <= 18; r++)
      b->Array(r, c, 0), b->Array(r, c + 1, 0);
}

// Runs `prepare` then `run` the given number of times and prints the median
// time and repaint steps of `run`.
template <class Prepare, class Run>
static void measure(Varnel *b, const char *what, int runs, Prepare prepare, Run run) {
  std::vector<double> ms, steps;
  for (int i = 0; i < runs; i++) {
    prepare();
    long s0 = b->repaint_steps;
    double t0 = now_ms();
    run();
    ms.push_back(now_ms() - t0);
    steps.push_back(b->repaint_steps - s0);
    global_wave_cnt.store(0);
  }
  printf("%-44s %10.1f ms, %.0f steps (median of %d)\n", what, median(ms), median(steps), runs);
}

// The time the GUI thread spends keeping the game once a move has settled,
// over the given number of moves: each keeps the board for Undo, changes a
// cell (to a dead tile and back, which never matches) and counts itself.
// Then the wait for the writer thread to have written it: a player's moves
// are further apart than that, so each finds the writer idle.
static void time_keeping(Varnel *b, int moves) {
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++)
      b->Array(r, c, (r * 2 + c) % 4 + ((r / 2) % 2) * 4);
  main_window->keep_game_between_runs();
  std::vector<double> t, written;
  for (int i = 0; i < moves; i++) {
    b->begin_move();
    b->Array(5, 5, b->board[5][5] == CELL_DEAD ? 1 : CELL_DEAD);
    b->moves++;
    double t0 = now_ms();
    { BoardBusy settled; } // its end keeps the game
    t.push_back(now_ms() - t0);
    finish_keeping_game();
    written.push_back(now_ms() - t0 - t.back());
  }
  std::string kept = game_text(board_game(b, 1));
  std::sort(t.begin(), t.end());
  printf("%-44s %10.3f ms, 99th percentile %.3f ms, worst %.3f ms (%d moves, %zu-byte file)\n",
         "keeping the game after a move, GUI thread", median(t), t[t.size() * 99 / 100], t.back(),
         moves, kept.size());
  printf("%-44s %10.3f ms (median of %d)\n", "then its file written, writer thread",
         median(written), moves);
  printf("%-44s %10.1f KiB (%d boards of %zu bytes)\n", "undo history at its bound",
         UNDO_LIMIT * sizeof(BoardState) / 1024.0, UNDO_LIMIT, sizeof(BoardState));
}

int main() {
  Fl::visual(FL_DOUBLE);
  main_window = new MainWin(1, 800, 830, "Varnel bench");
  Varnel *b = main_window->game;
  // A window that the server has not yet exposed draws nothing: the first
  // run on a new display used to time empty steps.
  main_window->wait_for_expose();
  b->wait_for_expose();
  for (int i = 0; i < 20; i++) // let the window settle
    Fl::check();

  std::vector<double> step = time_steps(b, 2000);
  printf("%-44s %10.3f ms (median of 2000)\n", "animation step (1 cell, repaint, check)",
         median(step));

  measure(
      b, "new game with its initial resolution", 30, [] {}, [b] { b->Reset(); });
  measure(
      b, "long cascade", 10, [b] { build_cascade(b); }, [b] { b->Matched(); });
  // A full board where no swap clears anything: the hint looks at every
  // swap before it says so.
  std::vector<double> hint;
  for (int i = 0; i < 1000; i++) {
    for (int r = 0; r < BOARD_ROWS; r++)
      for (int c = 0; c < BOARD_COLS; c++)
        b->Array(r, c, (r + c) % 4);
    double t0 = now_ms();
    show_hint(*b);
    hint.push_back(now_ms() - t0);
  }
  printf("%-44s %10.3f ms, worst %.3f ms (of 1000)\n", "hint on a full board, no swap clears",
         median(hint), *std::max_element(hint.begin(), hint.end()));
  time_keeping(b, 1000);
  delete main_window;
  return 0;
}
