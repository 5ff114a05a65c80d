// The top-score list and its file, top_scores.txt in the working directory.
#pragma once

#include "shared_file.h"

struct ScoreEntry {
  char name[256];
  int moves;
  int mode; // level, negated for a game in arrow mode
};

const int MAX_SCORES = 100;
extern ScoreEntry score_list[MAX_SCORES];
extern int score_cnt;

// Ends s at its first CR or LF.
void strip_lf(char *s);
// Replaces the list with the first 100 valid lines of top_scores.txt, read
// under the writers' lock; a name that is not a regular file (a FIFO, a
// device, another user's link) gives an empty list.
void read_top_scores();
// What became of a score written to top_scores.txt: saved, or why not.
enum ScoreSave {
  SCORE_SAVED = WRITE_DONE,
  SCORE_WRITE_PROTECTED = WRITE_PROTECTED, // the player may not write the file
  SCORE_NOT_CREATED = WRITE_NOT_CREATED,   // there is no file, and none can be made
  SCORE_UNREADABLE = WRITE_UNREADABLE,     // the file's scores cannot be read, so it is kept
  SCORE_NOT_A_FILE = WRITE_NOT_A_FILE,     // a FIFO, a device, another user's link...
  SCORE_DISK_FULL = WRITE_DISK_FULL,       // no room left on the disk, or in the player's quota
  SCORE_TOO_LARGE = WRITE_TOO_LARGE,       // past the size limit for files (ulimit -f)
  SCORE_NOT_LOCKED = WRITE_NOT_LOCKED,     // only a rewrite in place was possible, without the lock
  SCORE_WRITE_FAILED = WRITE_FAILED        // any other failure
};

// Inserts the new score into top_scores.txt before the first entry with as
// many moves or more, safely for a file that players share
// (rewrite_shared_file): the file is read again for this under the lock,
// so nothing written meanwhile is lost, and it is left as it was when the
// score cannot be saved. The list in memory is left alone.
ScoreSave write_top_scores(const char *name, int difficulty, int moves, int arrow_mode);
// Why a score was not saved, in the player's words ("the scores file is
// write-protected").
const char *score_loss_text(ScoreSave why);
// Text of the mode column for a mode code.
const char *mode_text(int mode);
// Makes a name safe to store on one line: control characters become spaces
// between words and go at either end, and the
// name is shortened at a UTF-8 character boundary so that its whole line
// reads back in one piece. Writes the result to out (256 bytes).
void clean_score_name(const char *name, int moves, int mode, char *out);
