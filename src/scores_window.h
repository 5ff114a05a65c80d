// The Top Scores window, and the record of a win in top_scores.txt.
#pragma once

#include <FL/Fl.H>
#include <string>

class Fl_Double_Window;
class Fl_Window;

// The label type of the names in the top-scores window: the text as typed,
// where '@' starts no symbol.
const Fl_Labeltype LITERAL_LABEL = FL_FREE_LABELTYPE;

// Asks the player's name over the window `over` and inserts the won game's
// score into top_scores.txt, telling the player when it could not be
// saved, and reads the list back. Quit meanwhile closes the dialogs; the
// score is still kept, under "Player".
void record_win(Fl_Window *over, int difficulty, int moves, int arrow_mode);
// Where the name last given is kept: the dialog proposes *last_name, and a
// name given that differs is stored there (control characters as spaces)
// and then kept(). Without this the dialog proposes nothing.
void remember_player_name(std::string *last_name, void (*kept)());

// A new top-scores window, not yet shown, for the current list; with no
// scores, one line says so. Its rows and columns grow with the text; it is
// never taller than the screen's work area, and scrolls.
Fl_Double_Window *new_scores_window();

// Opens a top-scores window for the current list beside the window
// `beside` and keeps it in `holder`, closing the one held there. Closing the new one empties
// `holder`, which must outlive it.
void show_scores_window(Fl_Double_Window *&holder, Fl_Window *beside);
// Hides and destroys the window in `holder`, if any, and empties `holder`.
// The window goes once the event at hand is handled (this may run in its
// own callback), or at once with `now`.
void close_scores_window(Fl_Double_Window *&holder, bool now = false);
