// Plays the real program from outside, as a player would: starts the built
// game in a temporary working directory of its own, sends it real X input
// with xdotool, reads the screen with Xlib and listens to what it played
// through an ALSA device that writes every stream to a file.
#pragma once

#include <X11/Xlib.h>
#include <string>
#include <sys/types.h>
#include <ctime>
#include <ostream>
#include <vector>

typedef std::vector<unsigned char> Bytes;

// Pixels as 0xRRGGBB, row after row.
struct Image {
  int w = 0, h = 0;
  std::vector<unsigned> px;
  unsigned at(int x, int y) const { return px[(size_t)y * w + x]; }
  Image crop(int x, int y, int cw, int ch) const;
  bool operator==(const Image &other) const {
    return w == other.w && h == other.h && px == other.px;
  }
  bool operator!=(const Image &other) const { return !(*this == other); }
};
// How a failed comparison shows an image.
void PrintTo(const Image &image, std::ostream *out);

// The X display the test runs on (FLTK's connection, opened on first use).
Display *display();
// A part of a window as it is on the screen; empty when it cannot be read.
Image capture(Window window, int x, int y, int w, int h);
// Viewable top-level windows whose _NET_WM_PID is pid.
std::vector<Window> windows_of(pid_t pid);
std::string window_name(Window window);
// Size of a window, and its position inside its parent.
bool window_geometry(Window window, int &x, int &y, int &w, int &h);
std::vector<Window> child_windows(Window window);
bool viewable(Window window);
// The window's WM_CLASS, as "instance,Class"; empty when it has none.
std::string window_class(Window window);
// The images of the window's _NET_WM_ICON, with pixels as 0xAARRGGBB.
std::vector<Image> window_icons(Window window);
bool override_redirect(Window window);
// Asks a window to close the way a window manager does: a WM_PROTOCOLS
// client message carrying WM_DELETE_WINDOW.
void send_delete_window(Window window);

// How the game draws a status box or a button, rendered here by FLTK with
// the game's settings, for comparison with the game's own pixels.
Image render_box(const char *label);
// Colours as the toolkit's colour indexes.
Image render_result_button(const char *label, unsigned colour, unsigned label_colour);
// A tile of the given colour (0xRRGGBB) with the arrow of a direction (0..7,
// clockwise from up).
Image render_arrow_tile(unsigned colour, int direction);

// Runs a shell command (xdotool), returning its output without the final
// newline.
std::string shell(const std::string &command);

// The sound files the game reads, by sound id.
extern const char *const sound_files[9];
enum { POP, BLOP, FANFARE, SAD, THUMP, PAN, DING, BELL, HONK };

// Polls pred about every 20 ms, up to about the given number of times.
template <class Pred> bool wait_for(Pred pred, int polls = 1500);

// The audio world a game starts in. The game gets an ALSA configuration of
// its own (ALSA_CONFIG_PATH), so the machine's plugins and sound server never
// take part.
enum class Audio {
  FILE_DEVICE, // the default device writes every stream to a file
  NO_DEVICE,   // there is no audio device at all
  STUCK,       // the device writes into a pipe nobody reads: streams block
  FAILING,     // the device's file is a directory: every stream fails
  BLOCKED      // the audio library never finishes starting
};

class Game {
public:
  // Starts the game with these arguments in a new directory holding the nine
  // sounds and, unless scores is null, a top_scores.txt with that text.
  // With stderr_closed the game starts with descriptor 2 closed; settings,
  // unless null, is the text of the player's settings file. Each game keeps
  // its game in a home of its own, or in that of the game it goes on from
  // (kept_from), which it shares.
  explicit Game(const std::vector<std::string> &args = {}, const char *scores = nullptr,
                Audio audio = Audio::FILE_DEVICE, bool stderr_closed = false,
                const char *settings = nullptr, const Game *kept_from = nullptr);
  // Ends the game by its process id if it still runs; removes the directory.
  ~Game();
  Game(const Game &) = delete;
  Game &operator=(const Game &) = delete;

  pid_t pid = -1;
  std::string dir;
  Window window = 0; // the main window, once shown

  // The whole main window.
  Image screen() const { return capture(window, 0, 0, 800, 830); }
  // Face colour of a tile, read beside its label, inside the outlines of
  // the pointer and of the selection.
  static unsigned tile(const Image &shot, int row, int col) {
    return shot.at(col * 40 + 7, 30 + row * 40 + 7);
  }
  // A tile inside the outline of the pointer: its face and its label (the
  // toolkit's dotted focus box runs outside it).
  static Image inside(const Image &shot, int row, int col) {
    return shot.crop(col * 40 + 6, 30 + row * 40 + 6, 28, 28);
  }
  // Pointer moves and clicks inside the main window (or another window).
  void move(int x, int y, Window in = 0);
  void click(int x, int y, int button = 1);
  void click_tile(int row, int col, int button = 1) {
    click(col * 40 + 20, 30 + row * 40 + 20, button);
  }
  void move_to_tile(int row, int col) { move(col * 40 + 20, 30 + row * 40 + 20); }
  // Opens a menu of the menu bar by clicking its title, goes down to the nth
  // entry with the arrow keys and picks it with Return.
  void menu(const char *title, int nth);
  // A menu of the menu bar is open.
  bool menu_open() const;
  // The move box shows this text.
  bool moves_read(const char *text) const;
  // Windows of the game other than the main window.
  std::vector<Window> other_windows() const;
  Window find_window(const char *name) const;

  // Waits for the game to end by itself.
  bool wait_exit(int &status, int polls = 3000);
  bool running();
  // Picks Game → Quit and waits for the end; true with exit status 0.
  bool quit();

  std::string error_output() const;
  std::string scores() const;
  // Everything the audio device was given, stream after stream.
  Bytes heard() const;
  // The clips of these sounds occur in the captured audio in this order.
  bool heard_in_order(const std::vector<int> &ids) const;

private:
  std::string home;
  bool ended = false;
  int exit_status = 0;
};

template <class Pred> bool wait_for(Pred pred, int polls) {
  for (int i = 0; i < polls; i++) {
    if (pred()) return true;
    struct timespec pause = {0, 20 * 1000 * 1000};
    nanosleep(&pause, nullptr);
  }
  return pred();
}
