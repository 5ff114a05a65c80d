// The settings file: reading it, and writing it in one piece.
#include "settings.h"

#include "regular_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

static const char *const KEY_SOUND = "sound";
static const char *const KEY_SYMBOLS = "symbols";

static std::string trimmed(const std::string &s) {
  size_t begin = s.find_first_not_of(" \t"), end = s.find_last_not_of(" \t");
  return begin == std::string::npos ? "" : s.substr(begin, end - begin + 1);
}

// Text only: tabs aside, a control character means the line is garbage.
static bool is_text(const std::string &line) {
  for (unsigned char c : line)
    if ((c < 0x20 && c != '\t') || c == 0x7f) return false;
  return true;
}

// Sets value from "on" or "off"; leaves it alone otherwise.
static void read_switch(const std::string &text, bool &value) {
  if (text == "on") value = true;
  if (text == "off") value = false;
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
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t equals = line.find('=');
    std::string key = trimmed(line.substr(0, equals));
    std::string value = equals == std::string::npos ? "" : trimmed(line.substr(equals + 1));
    if (equals != std::string::npos && key == KEY_SOUND)
      read_switch(value, settings.sound);
    else if (equals != std::string::npos && key == KEY_SYMBOLS)
      read_switch(value, settings.symbols);
    else if (is_text(line))
      settings.other_lines.push_back(line);
  }
  return settings;
}

std::string format_settings(const Settings &settings) {
  std::string text = std::string(KEY_SOUND) + (settings.sound ? "=on\n" : "=off\n") + KEY_SYMBOLS +
                     (settings.symbols ? "=on\n" : "=off\n");
  for (const std::string &line : settings.other_lines)
    if (text.size() + line.size() + 1 <= SETTINGS_MAX_BYTES) text += line + "\n";
  return text;
}

// An absolute path from the environment, or "": the base directory rules
// take a relative or empty one as unset.
static std::string absolute_env(const char *name) {
  const char *value = getenv(name);
  return value && value[0] == '/' ? value : "";
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

// The file's text, cut one byte past the limit so that a larger file shows;
// "" when it cannot be read.
static std::string read_text(const std::string &path) {
  std::string text;
  FILE *f = path.empty() ? nullptr : open_regular_file(path.c_str());
  if (!f) return text;
  text.resize(SETTINGS_MAX_BYTES + 1);
  text.resize(fread(&text[0], 1, text.size(), f));
  fclose(f);
  return text;
}

Settings load_settings() {
  return parse_settings(read_text(settings_path()));
}

// Writes text to a new file in dir and renames it to path. Returns 0, or
// the errno of the step that failed.
static int replace_file(const std::string &dir, const std::string &path, const std::string &text) {
  std::string temp = dir + "/settings.XXXXXX";
  int fd = mkostemp(&temp[0], O_CLOEXEC);
  if (fd < 0) return errno;
  int err = 0;
  if (!write_all(fd, text))
    err = errno;
  else if (fsync(fd) != 0)
    err = errno;
  if (close(fd) != 0 && !err) err = errno;
  if (!err && rename(temp.c_str(), path.c_str()) != 0) err = errno;
  if (err) unlink(temp.c_str());
  return err;
}

// A settings file that is a symbolic link to a regular file (kept with the
// player's other dotfiles, say) stays one: that file is rewritten, beside
// itself. A link to anything else (/dev/null) is replaced, as before.
static std::string link_target(const std::string &path) {
  char *real = realpath(path.c_str(), nullptr);
  struct stat st;
  std::string target = real && stat(real, &st) == 0 && S_ISREG(st.st_mode) ? real : path;
  free(real);
  return target;
}

bool save_settings(const Settings &settings) {
  std::string config = config_home();
  if (config.empty()) {
    fprintf(stderr, "varnel: cannot save the settings: neither XDG_CONFIG_HOME nor HOME is set\n");
    fflush(stderr);
    return false;
  }
  std::string dir = config + "/varnel", path = dir + "/settings";
  int err = 0;
  for (const std::string &d : {config, dir})
    if (mkdir(d.c_str(), 0700) != 0 && errno != EEXIST) err = errno;
  Settings kept = parse_settings(read_text(path));
  kept.sound = settings.sound;
  kept.symbols = settings.symbols;
  std::string target = link_target(path);
  if (!err) err = replace_file(target.substr(0, target.rfind('/')), target, format_settings(kept));
  if (!err) return true;
  fprintf(stderr, "varnel: cannot save the settings in %s: %s\n", path.c_str(), strerror(err));
  fflush(stderr);
  return false;
}
