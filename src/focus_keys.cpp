// Keys that take the keyboard's focus across the board in one press.
#include "focus_keys.h"

#include <FL/Enumerations.H>

#include "rules.h"

bool focus_jump(int key, int &row, int &col) {
  switch (key) {
  case FL_Home:
    col = 0;
    return true;
  case FL_End:
    col = BOARD_COLS - 1;
    return true;
  case FL_Page_Up:
    row = 0;
    return true;
  case FL_Page_Down:
    row = BOARD_ROWS - 1;
    return true;
  default:
    return false;
  }
}
