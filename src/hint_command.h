// The Hint command: two tiles marked whose swap clears tiles now.
#pragma once

class Varnel;

// Marks two tiles of the board whose swap clears tiles now, at the cost of a
// move; with keys in use the first takes the keyboard's focus. With no such
// swap the move box says so, and the hint is free. Nothing while a move
// runs: its board is not at rest.
void show_hint(Varnel &game);
