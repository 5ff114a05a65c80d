// The game kept between runs: its file, read safely and written whole.
// A thread of its own writes it, off the window's path.
#include "kept_game.h"
#include "language.h"

#include "private_dir.h"
#include "regular_file.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <pthread.h>
#include <unistd.h>

static const char GAME_NAME[] = "game";
static const char BAD_NAME[] = "game.bad";

// What this run last asked of the file: the text to keep, or "" once it has
// removed the game (or kept none yet). The GUI thread's alone.
static std::string last_kept;
static bool forgotten = false;

// Replacing the file costs a few tenths of a millisecond, most of it in the
// rename (the file system starts writing the new file when it replaces an
// old one), and syncing it to the disk, so that a power cut cannot leave an
// empty file, milliseconds more: too long for the GUI thread after every
// move. A writer thread does the file work. One job waits at most: a newer one replaces it before
// it starts, so the file always ends as the newest asked for.
struct Handover {
  std::mutex lock;
  std::condition_variable changed; // a job handed over, or one done
  bool waiting = false;            // a job waits for the writer
  bool busy = false;               // the writer is doing one
  std::string text;                // the job: the text to keep, or "" to remove the game
};
// Made once and never destroyed: the writer sleeps on it while the program
// exits, and destroying a condition variable that has a waiter blocks for
// ever.
static Handover &handover = *new Handover;

// $XDG_STATE_HOME, or ~/.local/state; "" without either variable.
static std::string state_home() {
  std::string state = absolute_env("XDG_STATE_HOME"), home = absolute_env("HOME");
  return !state.empty() ? state : home.empty() ? "" : home + "/.local/state";
}

// A kill between a copy's making and its renaming leaves the copy: those of
// earlier runs go once a run first opens the directory, at start where it
// reads the kept game, else before its first copy.
static void sweep_once(int dir_fd) {
  static std::atomic<bool> swept{false};
  if (!swept.exchange(true)) remove_stale_copies(dir_fd, GAME_NAME);
}

bool load_kept_game(GameRecord *game) {
  std::string state = state_home(), why;
  int dir_fd = state.empty() ? -1 : open_private_dir(state + "/varnel", why);
  if (dir_fd < 0) return false;
  std::string text;
  struct stat st;
  bool read = read_at(dir_fd, GAME_NAME, text, st, GAME_TEXT_MAX_BYTES);
  bool loaded = read && st.st_uid == geteuid() && read_game_text(text, game);
  if (loaded)
    last_kept = text;
  else if (fstatat(dir_fd, GAME_NAME, &st, AT_SYMLINK_NOFOLLOW) == 0)
    renameat(dir_fd, GAME_NAME, dir_fd, BAD_NAME);
  sweep_once(dir_fd);
  close(dir_fd);
  return loaded;
}

// One line on standard error, the first time the game cannot be kept. It
// is written past stdio: a standard error that nobody reads can hold the
// writer here, and it must not hold stdio's lock meanwhile, which the
// program's end takes to flush the streams.
static void tell_once(const std::string &where, const std::string &why) {
  static bool told = false;
  if (told) return;
  told = true;
  char line[1024];
  snprintf(line, sizeof line, _("varnel: cannot keep the game in %s: %s\n"), where.c_str(),
           why.c_str());
  write_all(STDERR_FILENO, line);
}

static void write_game(const std::string &text) {
  std::string state = state_home(), dir = state + "/varnel", why;
  if (state.empty())
    return tell_once(_("the state directory"), _("neither XDG_STATE_HOME nor HOME is set"));
  std::vector<std::string> dirs = {state, dir};
  if (absolute_env("XDG_STATE_HOME").empty())
    dirs.insert(dirs.begin(), absolute_env("HOME") + "/.local");
  why = make_private_dirs(dirs);
  int dir_fd = why.empty() ? open_private_dir(dir, why) : -1;
  if (dir_fd >= 0) sweep_once(dir_fd);
  int err = dir_fd < 0 ? 0 : replace_private_file(dir_fd, GAME_NAME, text);
  if (dir_fd >= 0) close(dir_fd);
  if (dir_fd < 0 || err != 0) tell_once(dir, dir_fd < 0 ? why : strerror(err));
}

static void remove_game() {
  std::string state = state_home(), why;
  int dir_fd = state.empty() ? -1 : open_private_dir(state + "/varnel", why);
  if (dir_fd < 0) return;
  unlinkat(dir_fd, GAME_NAME, 0);
  close(dir_fd);
}

// The writer: sleeps until a job is handed over, does it outside the lock.
// It reads the environment, which the game never changes once it runs.
static void *write_kept_games(void *) {
  std::unique_lock<std::mutex> hold(handover.lock);
  for (;;) {
    handover.changed.wait(hold, [] { return handover.waiting; });
    std::string text = std::move(handover.text);
    handover.waiting = false;
    handover.busy = true;
    hold.unlock();
    text.empty() ? remove_game() : write_game(text);
    hold.lock();
    handover.busy = false;
    handover.changed.notify_all();
  }
  return nullptr;
}

// Started on the first job, detached: nothing has to stop it at exit.
static bool start_writer() {
  static bool started = false;
  pthread_t thread;
  if (!started && pthread_create(&thread, nullptr, write_kept_games, nullptr) == 0) {
    pthread_detach(thread);
    started = true;
  }
  return started;
}

static void hand_over(const std::string &text) {
  if (!start_writer()) // no thread to be had: the work is done here
    return text.empty() ? remove_game() : write_game(text);
  std::lock_guard<std::mutex> hold(handover.lock);
  handover.text = text;
  handover.waiting = true;
  handover.changed.notify_all();
}

void keep_game_text(const std::string &text) {
  if (text == last_kept) return;
  last_kept = text;
  forgotten = false;
  hand_over(text);
}

void forget_kept_game() {
  if (forgotten) return;
  forgotten = true;
  last_kept.clear();
  hand_over("");
}

bool finish_keeping_game() {
  std::unique_lock<std::mutex> hold(handover.lock);
  return handover.changed.wait_for(hold, std::chrono::seconds(2),
                                   [] { return !handover.waiting && !handover.busy; });
}
