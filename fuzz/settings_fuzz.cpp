// Any bytes as the settings file's text: the reader must not fail, what it
// keeps must be whole lines, and writing the settings and reading them back
// must give the same settings, with the kept lines cut only where the file
// would grow past its limit.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  Settings read = parse_settings(std::string((const char *)data, size));
  for (const std::string &line : read.other_lines)
    if (line.find('\n') != std::string::npos) abort();
  std::string text = format_settings(read);
  if (text.size() > SETTINGS_MAX_BYTES) abort();
  Settings again = parse_settings(text);
  if (again.sound != read.sound || again.symbols != read.symbols || again.level != read.level ||
      again.arrows != read.arrows)
    abort();
  if (again.other_lines.size() > read.other_lines.size()) abort();
  for (size_t i = 0; i < again.other_lines.size(); i++)
    if (again.other_lines[i] != read.other_lines[i]) abort();
  if (size <= SETTINGS_MAX_BYTES / 2 && again.other_lines.size() != read.other_lines.size())
    abort();
  return 0;
}
