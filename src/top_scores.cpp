// The top-score list and its file.
#include "top_scores.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

void read_top_scores() {
  score_cnt = 0;
  FILE *f = fopen(SCORE_FILE, "r");
  if (!f) return;
  char line[READ_PIECE + 1];
  while (fgets(line, sizeof line, f)) {
    strip_lf(line);
    char *first = strchr(line, ':');
    if (!first) continue;
    char *second = strchr(first + 1, ':');
    if (!second) continue;
    if (score_cnt == MAX_SCORES) continue;
    ScoreEntry &e = score_list[score_cnt++];
    e.moves = read_number(line);
    e.mode = read_number(first + 1);
    snprintf(e.name, sizeof e.name, "%s", second + 1);
  }
  fclose(f);
}

void clean_score_name(const char *name, int moves, int mode, char *out) {
  char prefix[32];
  int used = snprintf(prefix, sizeof prefix, "%d:%d:", moves, mode);
  size_t room = READ_PIECE - 1 - used; // the newline ends the line
  size_t n = 0;
  for (; name[n] && n < room; n++)
    out[n] = (name[n] == '\r' || name[n] == '\n') ? ' ' : name[n];
  // Never cut a UTF-8 character in two: drop its leading bytes too.
  if (name[n])
    while (n > 0 && ((unsigned char)name[n] & 0xC0) == 0x80)
      n--;
  out[n] = '\0';
}

// Writes one score line; false when the write failed. Every name is made
// safe again: a line read back from a piece of a longer line can come out
// longer than it was (":2:x" is written "0:2:x").
static bool write_line(FILE *f, int moves, int mode, const char *name) {
  char clean[256];
  clean_score_name(name, moves, mode, clean);
  return fprintf(f, "%d:%d:%s\n", moves, mode, clean) >= 0;
}

static bool write_list(FILE *f, const char *name, int mode, int moves) {
  bool placed = false;
  for (int i = 0; i < score_cnt; i++) {
    const ScoreEntry &e = score_list[i];
    if (!placed && e.moves >= moves) {
      if (!write_line(f, moves, mode, name)) return false;
      placed = true;
    }
    if (!write_line(f, e.moves, e.mode, e.name)) return false;
  }
  return placed || write_line(f, moves, mode, name);
}

// Permissions for the new file: those of the old one, else the usual ones.
static mode_t score_file_mode() {
  struct stat st;
  if (stat(SCORE_FILE, &st) == 0) return st.st_mode & 07777;
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// The new content goes to a temporary file that replaces the old one only
// once it has been written completely, so a failed write loses no score.
int write_top_scores(const char *name, int difficulty, int moves, int arrow_mode) {
  int mode = arrow_mode == 1 ? -difficulty : difficulty;
  char tmp[] = "top_scores.txt.XXXXXX";
  int fd = mkstemp(tmp);
  if (fd < 0) return -1;
  fchmod(fd, score_file_mode());
  FILE *f = fdopen(fd, "w");
  if (!f) {
    close(fd);
    unlink(tmp);
    return -1;
  }
  bool ok = write_list(f, name ? name : "", mode, moves);
  ok = fflush(f) == 0 && ok;
  // Some file systems cannot sync; the data is written all the same.
  ok = (fsync(fileno(f)) == 0 || errno == EINVAL) && ok;
  ok = fclose(f) == 0 && ok;
  if (!ok || rename(tmp, SCORE_FILE) != 0) {
    unlink(tmp);
    return -1;
  }
  return 0;
}

const char *mode_text(int mode) {
  switch (mode) {
  case 0:
    return "Easy";
  case -1:
    return "Medium Arrow";
  case 2:
    return "Hard";
  case -2:
    return "Hard Arrow";
  case 3:
    return "Stupid";
  case -3:
    return "Stupid Arrow";
  default:
    return "Medium";
  }
}
