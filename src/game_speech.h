// The game said aloud: where the keyboard's focus goes, what each move did,
// the dialogs and lists as they open, and the keys that ask for more.
#pragma once

class Varnel;

// Turns speech on (saying "Speech on" and the game's status) or off for the
// board. While off, nothing of it runs. When the speech service's library
// turns out to be missing, speech goes off again, `missing` is called,
// once, on the GUI thread, and a message tells the player what to install.
void speak_game(Varnel *board, bool on, void (*missing)());
bool game_speech_on();

// The keys that ask for speech, while it is on (see README, Keys): l the
// last thing said again, s the status, r the row and c the column under
// the focus, v brief or full speech. Returns 1 for a key it took.
int speech_key(int key);
