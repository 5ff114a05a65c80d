// Keys that take the keyboard's focus across the board in one press.
#pragma once

// Home and End go to the ends of the row, Page Up and Page Down to the ends
// of the column: sets (row, col) to the cell the key goes to. False for any
// other key.
bool focus_jump(int key, int &row, int &col);
