// For the tests of the files the game keeps for the player: a file's whole
// text, and what may stand under its name other than the player's own whole
// file, the rows that check each such file is refused and moved aside.
#pragma once

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

inline std::string read_text(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

struct HostileFile {
  std::string what;
  std::function<bool()> make; // false where it cannot be made here
};

// Nothing; each of the texts given (garbled, truncated, oversized ...);
// another user's copy of `whole` (needs root); a FIFO; a directory; a link
// to a device. Each is made at path, where nothing stands.
inline std::vector<HostileFile>
hostile_files(const std::string &path, const std::string &whole,
              const std::vector<std::pair<std::string, std::string>> &texts) {
  std::vector<HostileFile> files = {{"missing", [] { return true; }}};
  for (const auto &[what, text] : texts)
    files.push_back({what, [path, text = text] { return !!(std::ofstream(path) << text); }});
  files.push_back({"another user's", [path, whole] {
                     return (std::ofstream(path) << whole) &&
                            chown(path.c_str(), 64101, 64101) == 0;
                   }});
  files.push_back({"FIFO", [path] { return mkfifo(path.c_str(), 0600) == 0; }});
  files.push_back({"directory", [path] { return mkdir(path.c_str(), 0700) == 0; }});
  files.push_back({"link to a device", [path] { return symlink("/dev/zero", path.c_str()) == 0; }});
  return files;
}
