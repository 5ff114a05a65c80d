// The settings file: reading it, and writing it in one piece.
#include "settings.h"

#include "private_dir.h"
#include "regular_file.h"
#include "shared_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

static const char *const KEY_SOUND = "sound";
static const char *const KEY_SYMBOLS = "symbols";
static const char *const KEY_LEVEL = "level";
static const char *const KEY_ARROWS = "arrows";
static const char *const KEY_SPEECH = "speech";

static std::string trimmed(const std::string &s) {
  size_t begin = s.find_first_not_of(" \t"), end = s.find_last_not_of(" \t");
  return begin == std::string::npos ? "" : s.substr(begin, end - begin + 1);
}

// The key of a key=value line, or "".
static std::string line_key(const std::string &line) {
  size_t equals = line.find('=');
  return equals == std::string::npos ? "" : trimmed(line.substr(0, equals));
}

// Sets what a line gives; false for a line that is not one of ours or gives
// a value this version does not know.
static bool read_line(Settings &settings, std::string line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  std::string key = line_key(line);
  std::string value = key.empty() ? "" : trimmed(line.substr(line.find('=') + 1));
  if (key == KEY_LEVEL && value.size() == 1 && value[0] >= '0' && value[0] <= '3') {
    settings.level = value[0] - '0';
    return true;
  }
  bool *on = key == KEY_SOUND     ? &settings.sound
             : key == KEY_SYMBOLS ? &settings.symbols
             : key == KEY_ARROWS  ? &settings.arrows
             : key == KEY_SPEECH  ? &settings.speech
                                  : nullptr;
  if (!on || (value != "on" && value != "off")) return false;
  *on = value == "on";
  return true;
}

Settings parse_settings(const std::string &text) {
  Settings settings;
  if (text.size() > SETTINGS_MAX_BYTES) return settings;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!read_line(settings, line)) settings.other_lines.push_back(line);
  }
  return settings;
}

std::string format_settings(const Settings &settings) {
  std::string text = std::string(KEY_SOUND) + (settings.sound ? "=on\n" : "=off\n") + KEY_SYMBOLS +
                     (settings.symbols ? "=on\n" : "=off\n") + KEY_LEVEL + "=" +
                     std::to_string(settings.level) + "\n" + KEY_ARROWS +
                     (settings.arrows ? "=on\n" : "=off\n");
  if (settings.speech) text += std::string(KEY_SPEECH) + "=on\n";
  for (const std::string &line : settings.other_lines)
    if (text.size() + line.size() + 1 <= SETTINGS_MAX_BYTES) text += line + "\n";
  return text;
}

// $XDG_CONFIG_HOME, or ~/.config.
static std::string config_home() {
  std::string config = absolute_env("XDG_CONFIG_HOME");
  if (!config.empty()) return config;
  std::string home = absolute_env("HOME");
  return home.empty() ? "" : home + "/.config";
}

std::string settings_path() {
  std::string config = config_home();
  return config.empty() ? "" : config + "/varnel/settings";
}

// The text of f, cut one byte past the limit so that a larger file shows;
// "" without a file. Closes f.
static std::string read_text(FILE *f) {
  std::string text;
  if (!f) return text;
  text.resize(SETTINGS_MAX_BYTES + 1);
  text.resize(fread(&text[0], 1, text.size(), f));
  fclose(f);
  return text;
}

Settings load_settings() {
  std::string path = settings_path();
  return parse_settings(read_text(path.empty() ? nullptr : open_regular_file(path.c_str())));
}

// A file of ours: empty, or holding a line that sets one of our switches.
static bool is_settings_text(const std::string &text) {
  if (text.empty()) return true;
  size_t lines = std::count(text.begin(), text.end(), '\n') + (text.back() != '\n');
  return parse_settings(text).other_lines.size() < lines;
}

// Where the settings go: the file name in the directory dir_fd, whose text
// is read. A settings file that is a link of the player's to a settings
// file of theirs (kept with their other dotfiles, say) stays one: that file
// is rewritten, beside itself. Any other link is replaced, and what it
// points at is neither read nor touched.
static void find_target(int &dir_fd, std::string &name, const std::string &path,
                        std::string &text) {
  struct stat st;
  if (fstatat(dir_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(st.st_mode)) {
    read_at(dir_fd, name, text, st, SETTINGS_MAX_BYTES);
    return;
  }
  std::string real = path, why, real_text;
  int real_dir =
      follow_trusted_links(real) ? open_private_dir(real.substr(0, real.rfind('/')), why) : -1;
  std::string real_name = real.substr(real.rfind('/') + 1);
  if (real_dir >= 0 && read_at(real_dir, real_name, real_text, st, SETTINGS_MAX_BYTES) &&
      st.st_uid == geteuid() && real_text.size() <= SETTINGS_MAX_BYTES &&
      is_settings_text(real_text)) {
    close(dir_fd);
    dir_fd = real_dir;
    name = real_name;
    text = real_text;
  } else if (real_dir >= 0) {
    close(real_dir);
  }
}

bool save_settings(const Settings &settings) {
  std::string config = config_home();
  if (config.empty()) {
    fprintf(stderr, "varnel: cannot save the settings: neither XDG_CONFIG_HOME nor HOME is set\n");
    fflush(stderr);
    return false;
  }
  std::string dir = config + "/varnel", path = dir + "/settings", name = "settings", text, why;
  why = make_private_dirs({config, dir});
  int dir_fd = why.empty() ? open_private_dir(dir, why) : -1;
  if (dir_fd >= 0) {
    find_target(dir_fd, name, path, text);
    Settings kept = parse_settings(text);
    // A line that gives a switch a value unknown here (a newer version's)
    // stays, unless the player has just changed that switch.
    auto changed = [&](const std::string &line) {
      std::string key = line_key(line);
      return (key == KEY_SOUND && kept.sound != settings.sound) ||
             (key == KEY_SYMBOLS && kept.symbols != settings.symbols) ||
             (key == KEY_LEVEL && kept.level != settings.level) ||
             (key == KEY_ARROWS && kept.arrows != settings.arrows) ||
             (key == KEY_SPEECH && kept.speech != settings.speech);
    };
    std::vector<std::string> &lines = kept.other_lines;
    lines.erase(std::remove_if(lines.begin(), lines.end(), changed), lines.end());
    kept.sound = settings.sound;
    kept.symbols = settings.symbols;
    kept.level = settings.level;
    kept.arrows = settings.arrows;
    kept.speech = settings.speech;
    int err = replace_file(dir_fd, name, format_settings(kept));
    close(dir_fd);
    if (!err) return true;
    why = strerror(err);
  }
  fprintf(stderr, "varnel: cannot save the settings in %s: %s\n", path.c_str(), why.c_str());
  fflush(stderr);
  return false;
}
