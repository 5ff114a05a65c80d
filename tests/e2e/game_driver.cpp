#include "game_driver.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "result_button.h"
#include "tile.h"

const char *const sound_files[9] = {"pop.wav", "blop.wav", "fanfare.wav", "sad.wav", "thump.wav",
                                    "pan.wav", "ding.wav", "bell.wav",    "honk.wav"};

Image Image::crop(int x, int y, int cw, int ch) const {
  Image part;
  part.w = cw;
  part.h = ch;
  for (int j = y; j < y + ch; j++)
    for (int i = x; i < x + cw; i++)
      part.px.push_back(at(i, j));
  return part;
}

void PrintTo(const Image &image, std::ostream *out) {
  *out << image.w << "x" << image.h << " image";
  if (image.px.empty()) return;
  std::map<unsigned, int> count;
  for (unsigned p : image.px)
    count[p]++;
  auto most = std::max_element(count.begin(), count.end(),
                               [](auto &a, auto &b) { return a.second < b.second; });
  *out << " of " << count.size() << " colours, mostly #" << std::hex << most->first << std::dec;
}

// Windows of the game come and go while the test looks at them: a request
// about a window that has just gone is not an error here.
static int ignore_x_errors(Display *, XErrorEvent *) {
  return 0;
}

Display *display() {
  static bool opened = false;
  if (!opened) {
    // The game's toolkit settings, so that render_box draws as the game does.
    fl_open_display();
    Fl::set_fonts("-*-*-*-*-*-*-*-*-*-*-*-*-iso10646-1");
    FL_NORMAL_SIZE = 11;
    Fl::visual(FL_DOUBLE);
    Fl::get_system_colors();
    XSetErrorHandler(ignore_x_errors);
    opened = true;
  }
  return fl_display;
}

Image capture(Window window, int x, int y, int w, int h) {
  Image shot;
  XSync(display(), False);
  XImage *image = XGetImage(display(), window, x, y, w, h, AllPlanes, ZPixmap);
  if (!image) return shot;
  shot.w = w;
  shot.h = h;
  shot.px.resize((size_t)w * h);
  for (int j = 0; j < h; j++)
    for (int i = 0; i < w; i++)
      shot.px[(size_t)j * w + i] = XGetPixel(image, i, j) & 0xFFFFFF;
  XDestroyImage(image);
  return shot;
}

static long window_pid(Window window) {
  Atom type;
  int format;
  unsigned long count, left;
  unsigned char *data = nullptr;
  long pid = -1;
  Atom pid_atom = XInternAtom(display(), "_NET_WM_PID", False);
  if (XGetWindowProperty(display(), window, pid_atom, 0, 1, False, XA_CARDINAL, &type, &format,
                         &count, &left, &data) == Success &&
      data && count == 1)
    pid = *(long *)data;
  if (data) XFree(data);
  return pid;
}

std::vector<Window> child_windows(Window window) {
  Window root, parent, *children = nullptr;
  unsigned n = 0;
  std::vector<Window> found;
  if (XQueryTree(display(), window, &root, &parent, &children, &n)) {
    found.assign(children, children + n);
    if (children) XFree(children);
  }
  return found;
}

bool viewable(Window window) {
  XWindowAttributes a;
  return XGetWindowAttributes(display(), window, &a) && a.map_state == IsViewable;
}

std::string window_class(Window window) {
  XClassHint hint = {nullptr, nullptr};
  std::string text;
  if (XGetClassHint(display(), window, &hint))
    text = std::string(hint.res_name ? hint.res_name : "") + "," +
           (hint.res_class ? hint.res_class : "");
  if (hint.res_name) XFree(hint.res_name);
  if (hint.res_class) XFree(hint.res_class);
  return text;
}

std::vector<Image> window_icons(Window window) {
  std::vector<Image> icons;
  Atom type;
  int format;
  unsigned long n = 0, left;
  unsigned char *data = nullptr;
  Atom property = XInternAtom(display(), "_NET_WM_ICON", False);
  if (XGetWindowProperty(display(), window, property, 0, 1L << 24, False, XA_CARDINAL, &type,
                         &format, &n, &left, &data) != Success)
    return icons;
  // Format 32 comes as longs: width, height, then the pixels, per image.
  const unsigned long *v = (const unsigned long *)data;
  for (unsigned long i = 0; data && format == 32 && i + 2 <= n;) {
    Image icon;
    icon.w = (int)v[i];
    icon.h = (int)v[i + 1];
    i += 2;
    if ((unsigned long)icon.w * icon.h > n - i) break;
    for (long k = 0; k < (long)icon.w * icon.h; k++)
      icon.px.push_back((unsigned)v[i++]);
    icons.push_back(icon);
  }
  if (data) XFree(data);
  return icons;
}

bool override_redirect(Window window) {
  XWindowAttributes a;
  return XGetWindowAttributes(display(), window, &a) && a.override_redirect;
}

std::vector<Window> windows_of(pid_t pid) {
  std::vector<Window> found;
  for (Window w : child_windows(DefaultRootWindow(display())))
    if (viewable(w) && window_pid(w) == pid) found.push_back(w);
  return found;
}

std::string window_name(Window window) {
  char *name = nullptr;
  std::string text;
  if (XFetchName(display(), window, &name) && name) text = name;
  if (name) XFree(name);
  return text;
}

bool window_geometry(Window window, int &x, int &y, int &w, int &h) {
  XWindowAttributes a;
  if (!XGetWindowAttributes(display(), window, &a)) return false;
  x = a.x;
  y = a.y;
  w = a.width;
  h = a.height;
  return true;
}

void send_delete_window(Window window) {
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display(), "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = XInternAtom(display(), "WM_DELETE_WINDOW", False);
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display(), window, False, NoEventMask, &event);
  XSync(display(), False);
}

// A window beside the game's where the test draws widgets to read them back.
// It is shown once; a window drawn before the server has exposed it stays
// black, so the first drawing waits for a red probe to come back red.
static Fl_Double_Window *stage() {
  static Fl_Double_Window *window = nullptr;
  if (window) return window;
  display();
  Fl_Group::current(nullptr);
  window = new Fl_Double_Window(1000, 900, 200, 60);
  Fl_Box probe(0, 0, 10, 10);
  probe.box(FL_FLAT_BOX);
  probe.color(FL_RED);
  window->end();
  window->add(probe);
  window->show();
  wait_for([&] {
    Fl::wait(0.01);
    window->redraw();
    Fl::flush();
    Image shot = capture(fl_xid(window), 0, 0, 1, 1);
    return shot.w && shot.at(0, 0) == 0xFF0000;
  });
  window->remove(probe);
  return window;
}

// Draws one widget alone on the stage and reads it back once two drawings
// in a row look the same.
static Image render(Fl_Widget *widget, int w, int h) {
  Fl_Double_Window *window = stage();
  window->add(widget);
  widget->position(0, 0);
  Image shot, last;
  wait_for([&] {
    last = shot;
    Fl::wait(0.01);
    window->redraw();
    Fl::flush();
    shot = capture(fl_xid(window), 0, 0, w, h);
    return shot.w && shot == last;
  });
  window->remove(widget);
  return shot;
}

Image render_box(const char *label) {
  Fl_Group::current(nullptr); // a widget of its own, in no group
  Fl_Box box(0, 0, 100, 26, label);
  box.box(FL_DOWN_BOX);
  box.color(fl_rgb_color(255, 200, 220));
  return render(&box, 100, 26);
}

Image render_result_button(const char *label, unsigned colour, unsigned label_colour) {
  Fl_Group::current(nullptr); // a widget of its own, in no group
  // The game's own button, which sizes its text itself.
  ResultButton button(0, 0, 100, 50, nullptr);
  button.label(label);
  button.color(colour);
  button.labelcolor(label_colour);
  return render(&button, 100, 50);
}

// Drawn by the game's own tile: a toolkit label's arrow follows the
// installed fonts, and its colour is the game's choice.
Image render_arrow_tile(unsigned colour, int direction) {
  Fl_Group::current(nullptr); // a widget of its own, in no group
  VarnelButton tile(0, 0, 40, 40);
  tile.color((Fl_Color)(colour << 8)); // 0xRRGGBB00: an RGB colour
  tile.labelcolor(FL_WHITE);
  tile.direction = direction;
  tile.show_arrow(true);
  return render(&tile, 40, 40);
}

std::string shell(const std::string &command) {
  std::string out;
  FILE *p = popen(command.c_str(), "r");
  if (!p) return out;
  char buf[256];
  while (fgets(buf, sizeof buf, p))
    out += buf;
  pclose(p);
  while (!out.empty() && out.back() == '\n')
    out.pop_back();
  return out;
}

static void write_text(const std::string &path, const std::string &text) {
  std::ofstream(path, std::ios::binary) << text;
}

static Bytes read_bytes(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// ALSA's whole configuration for the game in an audio world: only the
// devices it needs, nothing of the machine's.
static std::string alsa_config(Audio audio, const std::string &dir) {
  switch (audio) {
  case Audio::FILE_DEVICE:
  case Audio::STUCK:
  case Audio::FAILING: {
    // A directory to write to fails every stream (and, unlike a missing
    // directory, makes alsa-lib leak nothing).
    std::string file = dir + (audio == Audio::FAILING ? "/" : "/out.raw");
    // A pipe must be written itself, not beside: truncate.
    return "pcm.!default { type file; slave { pcm { type null } } file \"" + file +
           "\"; format \"raw\"; truncate " + (audio == Audio::STUCK ? "true" : "false") + " }\n";
  }
  default: // a default device that does not exist
    return "pcm.!default { type hw; card 99 }\n";
  }
}

Game::Game(const std::vector<std::string> &args, const char *scores, Audio audio,
           bool stderr_closed, const char *settings, const Game *kept_from) {
  char tmpl[] = "/tmp/varnel-e2e-XXXXXX";
  if (!mkdtemp(tmpl)) abort();
  dir = tmpl;
  home = dir + "/home";
  std::filesystem::create_directory(home);
  for (const char *file : sound_files)
    std::filesystem::copy_file(std::string(SOUND_DIR) + "/" + file, dir + "/" + file);
  if (scores) write_text(dir + "/top_scores.txt", scores);
  // The game reads settings only from a directory of the player's alone,
  // whatever the umask.
  if (settings && std::filesystem::create_directories(home + "/.config/varnel") &&
      chmod((home + "/.config/varnel").c_str(), 0700) == 0)
    write_text(home + "/.config/varnel/settings", settings);
  std::string config = home + "/alsa.conf";
  if (audio == Audio::STUCK) mkfifo((dir + "/out.raw").c_str(), 0600);
  // The library reads its configuration first thing; from a pipe nobody
  // writes, it waits for ever.
  if (audio == Audio::BLOCKED)
    mkfifo(config.c_str(), 0600);
  else
    write_text(config, alsa_config(audio, dir));
  display();
  pid = fork();
  if (pid < 0) abort();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(127);
    setenv("HOME", home.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    if (kept_from) setenv("HOME", kept_from->home.c_str(), 1);
    unsetenv("XDG_STATE_HOME");
    unsetenv("XDG_DATA_HOME");
    setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
    // English, whatever the machine's language.
    unsetenv("LANGUAGE");
    setenv("LC_ALL", "C.UTF-8", 1);
    if (!freopen("stdout.txt", "w", stdout) || !freopen("stderr.txt", "w", stderr)) _exit(127);
    if (stderr_closed) close(2);
    std::vector<char *> argv = {(char *)VARNEL_PROGRAM};
    for (const std::string &arg : args)
      argv.push_back((char *)arg.c_str());
    argv.push_back(nullptr);
    execv(VARNEL_PROGRAM, argv.data());
    _exit(127);
  }
  wait_for([&] {
    for (Window w : windows_of(pid))
      if (window_name(w).rfind("Varnel", 0) == 0) window = w;
    return window != 0 || !running();
  });
  // The first game is on the screen once the move box has been drawn.
  if (window && !kept_from) wait_for([&] { return moves_read(""); });
}

Game::~Game() {
  if (!ended && pid > 0) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
}

void Game::move(int x, int y, Window in) {
  shell("xdotool mousemove --window " + std::to_string(in ? in : window) + " " + std::to_string(x) +
        " " + std::to_string(y));
}

void Game::click(int x, int y, int button) {
  move(x, y);
  shell("xdotool click " + std::to_string(button));
}

static int menu_windows(pid_t pid) {
  int n = 0;
  for (Window w : windows_of(pid))
    n += override_redirect(w);
  return n;
}

void Game::menu(const char *title, int nth) {
  int x = strcmp(title, "Game") == 0 ? 20 : 80;
  // The keys must reach the menu once it is open, not the window before.
  for (int attempt = 0; attempt < 5; attempt++) {
    click(x, 15);
    if (wait_for([&] { return menu_windows(pid) > 0; }, 500)) break;
  }
  std::string keys;
  for (int i = 0; i < nth; i++)
    keys += " Down";
  shell("xdotool key" + keys + " Return");
  wait_for([&] { return menu_windows(pid) == 0 || !running(); });
}

bool Game::menu_open() const {
  return menu_windows(pid) > 0;
}

bool Game::moves_read(const char *text) const {
  static std::vector<std::pair<std::string, Image>> rendered;
  auto known =
      std::find_if(rendered.begin(), rendered.end(),
                   [&](const std::pair<std::string, Image> &r) { return r.first == text; });
  if (known == rendered.end()) {
    rendered.push_back({text, render_box(text)});
    known = rendered.end() - 1;
  }
  return capture(window, 700, 2, 100, 26) == known->second;
}

std::vector<Window> Game::other_windows() const {
  std::vector<Window> found;
  for (Window w : windows_of(pid))
    if (w != window && !override_redirect(w)) found.push_back(w);
  return found;
}

Window Game::find_window(const char *name) const {
  for (Window w : other_windows())
    if (window_name(w) == name) return w;
  return 0;
}

bool Game::running() {
  if (ended) return false;
  int status;
  if (waitpid(pid, &status, WNOHANG) == pid) {
    ended = true;
    exit_status = status;
  }
  return !ended;
}

bool Game::wait_exit(int &status, int polls) {
  bool gone = wait_for([&] { return !running(); }, polls);
  status = exit_status;
  return gone;
}

bool Game::quit() {
  if (!running()) return false;
  menu("Game", 1);
  int status = -1;
  return wait_exit(status) && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string Game::error_output() const {
  Bytes b = read_bytes(dir + "/stderr.txt");
  return std::string(b.begin(), b.end());
}

std::string Game::scores() const {
  Bytes b = read_bytes(dir + "/top_scores.txt");
  return std::string(b.begin(), b.end());
}

Bytes Game::heard() const {
  Bytes all;
  for (int n = 0;; n++) {
    char name[32];
    snprintf(name, sizeof name, n ? "/out.raw.%04d" : "/out.raw", n);
    std::string path = dir + name;
    if (access(path.c_str(), F_OK) != 0) break;
    Bytes stream = read_bytes(path);
    all.insert(all.end(), stream.begin(), stream.end());
  }
  return all;
}

// A clip's sample data as the game hands it to the device: the file's bytes
// after the 44-byte header, less the last frame, which the player may leave
// out.
static const Bytes &clip_bytes(int id) {
  static Bytes clips[9];
  if (clips[id].empty()) {
    Bytes file = read_bytes(std::string(SOUND_DIR) + "/" + sound_files[id]);
    if (file.size() <= 48) abort();
    unsigned channels = file[22] | file[23] << 8, bits = file[34] | file[35] << 8;
    size_t frame = channels * bits / 8;
    clips[id].assign(file.begin() + 44, file.end() - frame);
  }
  return clips[id];
}

bool Game::heard_in_order(const std::vector<int> &ids) const {
  Bytes all = heard();
  auto from = all.begin();
  for (int id : ids) {
    const Bytes &clip = clip_bytes(id);
    from = std::search(from, all.end(), clip.begin(), clip.end());
    if (from == all.end()) return false;
    from += clip.size();
  }
  return true;
}
