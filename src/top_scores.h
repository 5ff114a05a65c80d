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
// Replaces the list with the first 100 valid lines of top_scores.txt.
void read_top_scores();
// Rewrites top_scores.txt from the list with the new score inserted before
// the first entry with as many moves or more. The old file stays as it was
// when the new one cannot be written completely. Returns 0 on success.
int write_top_scores(const char *name, int difficulty, int moves, int arrow_mode);
// Text of the mode column for a mode code.
const char *mode_text(int mode);
// Makes a name safe to store on one line: CR and LF become spaces, and the
// name is shortened at a UTF-8 character boundary so that its whole line
// reads back in one piece. Writes the result to out (256 bytes).
void clean_score_name(const char *name, int moves, int mode, char *out);
