// The game kept between runs: its file, read safely and written whole.
#include "kept_game.h"

#include "private_dir.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

static const char GAME_NAME[] = "game";
static const char BAD_NAME[] = "game.bad";

// What this run last did to the file: the text it kept, or "" once it has
// removed the game (or kept none yet).
static std::string last_kept;
static bool forgotten = false;

// $XDG_STATE_HOME, or ~/.local/state; "" without either variable.
static std::string state_home() {
  std::string state = absolute_env("XDG_STATE_HOME"), home = absolute_env("HOME");
  return !state.empty() ? state : home.empty() ? "" : home + "/.local/state";
}

std::string kept_game_path() {
  std::string state = state_home();
  return state.empty() ? "" : state + "/varnel/" + GAME_NAME;
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
  close(dir_fd);
  return loaded;
}

// One line on standard error, the first time the game cannot be kept.
static void tell_once(const std::string &where, const std::string &why) {
  static bool told = false;
  if (told) return;
  told = true;
  fprintf(stderr, "varnel: cannot keep the game in %s: %s\n", where.c_str(), why.c_str());
  fflush(stderr);
}

void keep_game_text(const std::string &text) {
  if (text == last_kept) return;
  std::string state = state_home(), dir = state + "/varnel", why;
  if (state.empty())
    return tell_once("the state directory", "neither XDG_STATE_HOME nor HOME is set");
  std::vector<std::string> dirs = {state, dir};
  if (absolute_env("XDG_STATE_HOME").empty())
    dirs.insert(dirs.begin(), absolute_env("HOME") + "/.local");
  why = make_private_dirs(dirs);
  int dir_fd = why.empty() ? open_private_dir(dir, why) : -1;
  int err = dir_fd < 0 ? 0 : replace_file(dir_fd, GAME_NAME, text, false);
  if (dir_fd >= 0) close(dir_fd);
  if (dir_fd >= 0 && err == 0) {
    last_kept = text;
    forgotten = false;
  } else {
    tell_once(dir, dir_fd < 0 ? why : strerror(err));
  }
}

void forget_kept_game() {
  if (forgotten) return;
  forgotten = true;
  last_kept.clear();
  std::string state = state_home(), why;
  int dir_fd = state.empty() ? -1 : open_private_dir(state + "/varnel", why);
  if (dir_fd < 0) return;
  unlinkat(dir_fd, GAME_NAME, 0);
  close(dir_fd);
}
