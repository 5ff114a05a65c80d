// The top-score list and its file, top_scores.txt in the working directory.
#pragma once

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
// Replaces the list with the first 100 valid lines of top_scores.txt; a
// name that is not a regular file (a FIFO, a device) gives an empty list.
void read_top_scores();
// What became of a score written to top_scores.txt: saved, or why not.
enum ScoreSave {
  SCORE_SAVED = 0,
  SCORE_WRITE_PROTECTED, // the player may not write the file
  SCORE_NOT_CREATED,     // there is no file, and none can be made
  SCORE_UNREADABLE,      // the file's scores cannot be read, so it is kept
  SCORE_NOT_A_FILE,      // a FIFO, a device, a directory, a loop of links
  SCORE_DISK_FULL,       // no room left on the disk, or in the player's quota
  SCORE_TOO_LARGE,       // past the size limit for files (ulimit -f)
  SCORE_NOT_LOCKED,      // only a rewrite in place was possible, without the lock
  SCORE_WRITE_FAILED     // any other failure
};

// Inserts the new score into top_scores.txt before the first entry with as
// many moves or more. The file is read again for this, under a lock that
// copies of the game take in turn, so nothing written meanwhile is lost; a
// lock held for more than about two seconds is passed by. The list in
// memory is left alone. A new copy of the file replaces it once written
// completely, with the old file's owner, group and mode; where the copy
// cannot have them, or the directory refuses it, the file is rewritten in
// place under the lock, once the room for the new text is reserved. The old
// file stays as it was when the new text cannot be written completely, and
// it is not touched at all when it cannot be read, the player may not write
// it, or it is not a regular file. A symbolic link stays a link to the
// rewritten file.
ScoreSave write_top_scores(const char *name, int difficulty, int moves, int arrow_mode);
// Why a score was not saved, in the player's words ("the scores file is
// write-protected").
const char *score_loss_text(ScoreSave why);
// Text of the mode column for a mode code.
const char *mode_text(int mode);
// Makes a name safe to store on one line: CR and LF become spaces, and the
// name is shortened at a UTF-8 character boundary so that its whole line
// reads back in one piece. Writes the result to out (256 bytes).
void clean_score_name(const char *name, int moves, int mode, char *out);
