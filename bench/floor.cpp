// The floor for the benchmarks: a bare FLTK program with the game's widget
// tree (an 800 x 830 double-buffered window, a menu bar, two boxes and an
// 800 x 800 double-buffered subwindow of 400 coloured 40 x 40 buttons) and
// the toolkit calls any program makes (the system colours are what
// show(argc, argv) would pick up), nothing else. With the argument "steps" it prints the cost of
// one animation step (one button recoloured, the subwindow repainted, Fl::check) instead of
// running.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Menu_Bar.H>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

static Fl_Menu_Item items[] = {{"Game", 0, nullptr, nullptr, FL_SUBMENU, 0, 0, 0, 0},
                               {"Quit", 0, nullptr, nullptr, 0, 0, 0, 0, 0},
                               {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0},
                               {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0}};

static Fl_Button *buttons[400];

static double now_ms() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

int main(int argc, char **argv) {
  Fl::visual(FL_DOUBLE);
  Fl::get_system_colors();
  Fl_Double_Window win(800, 830, "Floor");
  new Fl_Menu_Bar(0, 0, 590, 30);
  ((Fl_Menu_Bar *)win.child(0))->menu(items);
  Fl_Box *level = new Fl_Box(590, 2, 100, 26, "Medium");
  level->box(FL_DOWN_BOX);
  level->color(fl_rgb_color(255, 200, 220));
  Fl_Box *moves = new Fl_Box(700, 2, 100, 26, "");
  moves->box(FL_DOWN_BOX);
  moves->color(fl_rgb_color(255, 200, 220));
  Fl_Double_Window *board = new Fl_Double_Window(0, 30, 800, 800);
  for (int i = 0; i < 400; i++) {
    buttons[i] = new Fl_Button((i % 20) * 40, (i / 20) * 40, 40, 40);
    buttons[i]->color(fl_rgb_color(40 * (i % 6), 30 * (i % 8), 100));
  }
  board->end();
  win.end();
  win.show();
  if (argc > 1 && strcmp(argv[1], "steps") == 0) {
    for (int i = 0; i < 20; i++)
      Fl::check();
    std::vector<double> t;
    for (int i = 0; i < 2000; i++) {
      double t0 = now_ms();
      buttons[200 + i % 20]->color(i % 2 ? FL_WHITE : fl_rgb_color(100, 0, 0));
      board->redraw();
      Fl::check();
      t.push_back(now_ms() - t0);
    }
    std::sort(t.begin(), t.end());
    printf("%.4f\n", t[t.size() / 2]);
    return 0;
  }
  return Fl::run();
}
