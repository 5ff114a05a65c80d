// Prints, with Speech on, the time the GUI thread takes from a key press on
// the board to the new cell's text handed to the speech thread: the arrow
// key moves the focus, and the event loop's next round (Fl::check) says the
// cell; the time includes that round's repaint. Runs on the current X
// display; SPEECHD_ADDRESS may name a speech-dispatcher to talk to.
#include <FL/Fl.H>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <unistd.h>
#include <vector>

#include "game_speech.h"
#include "speech.h"
#include "varnel.h"

static double now_ms() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// The CPU time this thread has used: what the GUI thread itself spends,
// apart from the time it waits for a core (the speech service's synthesis
// runs beside it on the same machine).
static double thread_cpu_ms() {
  struct timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

const int PRESSES = 1000;

// The time of each press and the loop's round after it, along row 11 and
// back, at a fast player's key repeat (50 a second).
static std::vector<double> cpu;

static std::vector<double> presses() {
  std::vector<double> t;
  cpu.clear();
  for (int i = 0; i < PRESSES; i++) {
    Fl::e_keysym = (i / 19) % 2 ? FL_Left : FL_Right;
    double t0 = now_ms(), c0 = thread_cpu_ms();
    Fl::handle(FL_KEYBOARD, main_window);
    Fl::check();
    t.push_back(now_ms() - t0);
    cpu.push_back(thread_cpu_ms() - c0);
    usleep(20000);
  }
  std::sort(t.begin(), t.end());
  std::sort(cpu.begin(), cpu.end());
  return t;
}

static void report(const char *what, const std::vector<double> &t) {
  printf("%-44s %10.3f ms, 99th percentile %.3f ms, worst %.3f ms (%d presses)\n", what,
         t[PRESSES / 2], t[PRESSES * 99 / 100], t.back(), PRESSES);
  printf("%-44s %10.3f ms, 99th percentile %.3f ms, worst %.3f ms\n", "  its CPU time",
         cpu[PRESSES / 2], cpu[PRESSES * 99 / 100], cpu.back());
}

int main() {
  Fl::visual(FL_DOUBLE);
  main_window = new MainWin(1, 800, 830, "Varnel bench");
  Varnel *b = main_window->game;
  main_window->wait_for_expose();
  b->wait_for_expose();
  b->Reset();
  for (int i = 0; i < 20; i++)
    Fl::check();
  b->buttons[10][0]->take_focus();
  VarnelButton::keys_in_use(true);
  report("key press and its round, Speech off", presses());
  speak_game(b, true, nullptr);
  usleep(500000); // the library loaded and the connection made, off this thread
  report("key press to its text handed over, GUI thread", presses());
  printf("%-44s %10ld\n", "texts the speech service took", speech_texts_said());
  delete main_window;
  stop_speech(0.3);
  return 0;
}
