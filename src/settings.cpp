// The settings file: reading it, and writing it in one piece.
#include "settings.h"
#include "language.h"

#include "private_dir.h"

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
static const char *const KEY_NAME = "name";
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
  if (key == KEY_NAME) {
    settings.name = value;
    return true;
  }
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
  if (!settings.name.empty()) text += std::string(KEY_NAME) + "=" + settings.name + "\n";
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

// A file of ours: empty, or holding a line that sets one of our switches.
static bool is_settings_text(const std::string &text) {
  if (text.empty()) return true;
  size_t lines = std::count(text.begin(), text.end(), '\n') + (text.back() != '\n');
  return parse_settings(text).other_lines.size() < lines;
}

// Where the settings file is: the directory that holds it, its name there
// and its text; or, where it may not be used, dir_fd -1 and why not.
// refused tells that something is there that the rules below refuse, as
// against nothing at all.
struct SettingsPlace {
  int dir_fd = -1;
  std::string name = "settings", text, why;
  bool refused = false;
};

// The file the link settings in dir leads to, under the same rule as the
// varnel directory's own: links of the player's or root's, a directory of
// the player's alone, and a settings file of the player's or none yet.
static void follow_settings_link(const std::string &dir, SettingsPlace &place) {
  place.refused = true;
  std::string why;
  place.dir_fd = open_private_parent(dir + "/" + place.name, place.name, why);
  if (place.dir_fd < 0) {
    place.why = why == NOT_PRIVATE ? _("it links into a directory that is not yours alone")
                                   : _("its link cannot be followed: ") + why;
    return;
  }
  struct stat st;
  if (fstatat(place.dir_fd, place.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT)
    return; // made at the first change
  if (read_at(place.dir_fd, place.name, place.text, st, SETTINGS_MAX_BYTES) &&
      st.st_uid == geteuid() && place.text.size() <= SETTINGS_MAX_BYTES &&
      is_settings_text(place.text))
    return;
  close(place.dir_fd);
  place.dir_fd = -1;
  place.text.clear();
  place.why = _("it links to a file that is not a settings file of yours");
}

// Finds the settings file, for reading and for writing alike, so that the
// game writes the very file it read: settings in a varnel directory of the
// player's that no one else may write, or, where that is a link (to a file
// kept with the player's other dotfiles, say), the file it leads to. A link
// that leads anywhere else is left as it is, and what it leads to is neither
// read nor written: the settings are then the defaults, and a change holds
// until the game ends.
static SettingsPlace find_settings(const std::string &dir) {
  SettingsPlace place;
  place.dir_fd = open_private_dir(dir, place.why);
  struct stat st;
  if (place.dir_fd < 0) {
    place.refused = lstat(dir.c_str(), &st) == 0;
  } else if (fstatat(place.dir_fd, place.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
             S_ISLNK(st.st_mode)) {
    close(place.dir_fd);
    follow_settings_link(dir, place);
  } else {
    read_at(place.dir_fd, place.name, place.text, st, SETTINGS_MAX_BYTES);
  }
  return place;
}

// The varnel directory of the settings, or "" when neither XDG_CONFIG_HOME
// nor HOME is set.
static std::string settings_dir() {
  std::string config = config_home();
  return config.empty() ? "" : config + "/varnel";
}

Settings load_settings() {
  std::string dir = settings_dir();
  if (dir.empty()) return Settings();
  SettingsPlace place = find_settings(dir);
  if (place.dir_fd >= 0) close(place.dir_fd);
  if (place.refused && place.dir_fd < 0) {
    fprintf(stderr, _("varnel: not reading the settings in %s/settings: %s\n"), dir.c_str(),
            place.why.c_str());
    fflush(stderr);
  }
  return parse_settings(place.text);
}

bool save_settings(const Settings &settings) {
  std::string config = config_home();
  if (config.empty()) {
    fputs(_("varnel: cannot save the settings: neither XDG_CONFIG_HOME nor HOME is set\n"), stderr);
    fflush(stderr);
    return false;
  }
  std::string dir = config + "/varnel";
  SettingsPlace place;
  place.why = make_private_dirs({config, dir});
  if (place.why.empty()) place = find_settings(dir);
  if (place.dir_fd >= 0) {
    Settings kept = parse_settings(place.text);
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
    kept.name = settings.name;
    kept.speech = settings.speech;
    int err = replace_private_file(place.dir_fd, place.name, format_settings(kept));
    close(place.dir_fd);
    if (!err) return true;
    place.why = strerror(err);
  }
  fprintf(stderr, _("varnel: cannot save the settings in %s/settings: %s\n"), dir.c_str(),
          place.why.c_str());
  fflush(stderr);
  return false;
}
