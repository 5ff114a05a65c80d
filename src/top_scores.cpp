// The top-score list: its text format, reading it and inserting a score.
#include "top_scores.h"
#include "language.h"

#include "shared_file.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

ScoreEntry score_list[MAX_SCORES];
int score_cnt = 0;

static const char *const SCORE_FILE = "top_scores.txt";
// The reader takes at most this many characters per read, the newline
// included; a longer line arrives in pieces.
static const int READ_PIECE = 254;

void strip_lf(char *s) {
  for (; *s; s++)
    if (*s == '\r' || *s == '\n') *s = '\0';
}

// strtol in base 10, kept within the range of an int.
static int read_number(const char *s) {
  long v = strtol(s, nullptr, 10);
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return (int)v;
}

// Reads the first 100 valid lines of f into list; lines after those are
// never read. False on a read error.
static bool read_list(FILE *f, ScoreEntry *list, int *cnt) {
  *cnt = 0;
  char line[READ_PIECE + 1];
  while (*cnt < MAX_SCORES && fgets(line, sizeof line, f)) {
    strip_lf(line);
    char *first = strchr(line, ':');
    if (!first) continue;
    char *second = strchr(first + 1, ':');
    if (!second) continue;
    ScoreEntry &e = list[(*cnt)++];
    e.moves = read_number(line);
    e.mode = read_number(first + 1);
    snprintf(e.name, sizeof e.name, "%s", second + 1);
  }
  return !ferror(f);
}

void read_top_scores() {
  score_cnt = 0;
  FILE *f = open_shared_for_reading(SCORE_FILE);
  if (!f) return;
  read_list(f, score_list, &score_cnt);
  fclose(f);
}

// The length in bytes of the control character at s (C0, DEL, or C1 in
// UTF-8), or 0.
static int control_length(const unsigned char *s) {
  if (*s < 0x20 || *s == 0x7f) return 1;
  return s[0] == 0xC2 && s[1] >= 0x80 && s[1] <= 0x9F ? 2 : 0;
}

void clean_score_name(const char *name, int moves, int mode, char *out) {
  char prefix[32];
  int used = snprintf(prefix, sizeof prefix, "%d:%d:", moves, mode);
  size_t room = READ_PIECE - 1 - used; // the newline ends the line
  // A control character between words becomes a space; at either end of
  // the name (a Ctrl+M typed after it) it goes.
  const unsigned char *s = (const unsigned char *)name;
  size_t n = 0, end = 0; // end: just past the last character kept as typed
  while (*s && n < room) {
    if (int control = control_length(s)) {
      s += control;
      if (n > 0) out[n++] = ' ';
    } else {
      out[n++] = (char)*s++;
      end = n;
    }
  }
  // Never cut a UTF-8 character in two: drop its leading bytes too.
  if (*s)
    for (; n > 0 && (*s & 0xC0) == 0x80; s--)
      n--;
  out[std::min(n, end)] = '\0';
}

// Appends one score line; every name is made safe again: a line read back
// from a piece of a longer line can come out longer than it was (":2:x" is
// written "0:2:x").
static void add_line(std::string &text, int moves, int mode, const char *name) {
  char clean[256], line[300];
  clean_score_name(name, moves, mode, clean);
  snprintf(line, sizeof line, "%d:%d:%s\n", moves, mode, clean);
  text += line;
}

// The file's new text: the list with the new score before the first entry
// of as many moves or more.
static std::string list_text(const ScoreEntry *list, int cnt, const char *name, int mode,
                             int moves) {
  std::string text;
  bool placed = false;
  for (int i = 0; i < cnt; i++) {
    if (!placed && list[i].moves >= moves) {
      add_line(text, moves, mode, name);
      placed = true;
    }
    add_line(text, list[i].moves, list[i].mode, list[i].name);
  }
  if (!placed) add_line(text, moves, mode, name);
  return text;
}

// Not score_list: the caller reads the file back.
ScoreSave write_top_scores(const char *name, int difficulty, int moves, int arrow_mode) {
  int mode = arrow_mode == 1 ? -difficulty : difficulty;
  std::vector<ScoreEntry> list(MAX_SCORES);
  return (ScoreSave)rewrite_shared_file(SCORE_FILE, [&](FILE *f, std::string &text) {
    int cnt = 0;
    if (!read_list(f, list.data(), &cnt)) return false;
    text = list_text(list.data(), cnt, name ? name : "", mode, moves);
    return true;
  });
}

const char *score_loss_text(ScoreSave why) {
  switch (why) {
  case SCORE_SAVED:
    return _("the score was saved");
  case SCORE_WRITE_PROTECTED:
    return _("the scores file is write-protected");
  case SCORE_NOT_CREATED:
    return _("there is no scores file, and none can be made");
  case SCORE_UNREADABLE:
    return _("the scores file cannot be read");
  case SCORE_NOT_A_FILE:
    return _("the scores file is not a regular file");
  case SCORE_DISK_FULL:
    return _("the disk, or your share of it, is full");
  case SCORE_TOO_LARGE:
    return _("the scores file would pass the size limit set for files");
  case SCORE_NOT_LOCKED:
    return _("the scores file could not be locked for writing");
  default:
    return _("the scores file could not be written");
  }
}

const char *mode_text(int mode) {
  switch (mode) {
  case 0:
    return _("Easy");
  case -1:
    return _("Medium Arrow");
  case 2:
    return _("Hard");
  case -2:
    return _("Hard Arrow");
  case 3:
    return _("Stupid");
  case -3:
    return _("Stupid Arrow");
  default:
    return _("Medium");
  }
}
