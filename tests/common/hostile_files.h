// What may stand under the name of a file the game keeps for the player,
// other than the player's own whole file: the rows of the tests that check
// each such file is refused and moved aside.
#pragma once

#include <fstream>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

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
