// The player's settings, kept between runs in a small text file.
// Its lines are key=value: $XDG_CONFIG_HOME/varnel/settings, by default
// ~/.config/varnel/settings.
#pragma once

#include <string>
#include <vector>

struct Settings {
  bool sound = true;    // "sound=on" or "sound=off"
  bool symbols = false; // "symbols=on" or "symbols=off"
  // The level and mode last picked, for a start without a level argument.
  int level = 1;       // "level=0" to "level=3"
  bool arrows = false; // "arrows=on" or "arrows=off"
  // The name last given in the name dialog, which it proposes next.
  std::string name;    // "name=..."; no line while empty
  bool speech = false; // "speech=on"; written only when on
  // Lines of the file that are not ours (another version's keys, comments),
  // kept as they were, in order, when the file is rewritten.
  std::vector<std::string> other_lines;
};

// A settings file larger than this is not one of ours: it gives the
// defaults, and the game reads no more of it.
const size_t SETTINGS_MAX_BYTES = 64 * 1024;

// Reads the text of a settings file. The last of several lines of one key
// counts; a line giving a key a value this version does not know (other
// than on or off, or a level other than 0 to 3: a newer version's) leaves
// the key alone and, like any line that is not ours, is kept as it stands,
// control characters and all.
Settings parse_settings(const std::string &text);
// The text of a settings file: our keys, then the other lines as long as
// the whole stays within SETTINGS_MAX_BYTES.
std::string format_settings(const Settings &settings);

// Where the settings file is, or "" when neither an absolute
// XDG_CONFIG_HOME nor an absolute HOME is set.
std::string settings_path();
// Loading and saving find the file by one rule: only a varnel directory of
// the player's that no one else may write is used, and a link of the
// player's there to a settings file of theirs (or to none yet) in a
// directory of theirs alone is read and written through. Any other link is
// left as it is, and what it leads to is neither read nor written.

// The settings from the file; the defaults when it is missing, unreadable,
// not a regular file, too large or not to be used; for a file not to be
// used (a link the rule refuses, say) one line on standard error says why.
Settings load_settings();
// Writes the file anew (a temporary file renamed over it), creating its
// directories with mode 0700 where they are missing, and keeping the lines
// that are not ours as they stand in the file now. On failure, a link the
// rule refuses included, the file is left as it was, one line goes to
// standard error, and false is returned: the change holds for this run.
bool save_settings(const Settings &settings);
