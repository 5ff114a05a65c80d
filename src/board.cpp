// The board widget Varnel: drawing, Array and Swap, and the moves of a game.
#include "board.h"

#include <FL/fl_draw.H>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "busy_state.h"
#include "deal.h"
#include "pa.h"
#include "scores_window.h"

int global_win = 0;

Varnel::Varnel(int x, int y, int w, int h, const char *label)
    : Fl_Double_Window(x, y, w, h, label) {
  color(FL_WHITE);
  moves = 0;
  arrow_mode = 0;
  clear_selection();
  srand48((int)time(nullptr));
  box(FL_DOWN_BOX);
  scores_window = nullptr;
  moves_box = nullptr;
  moves_text[0] = '\0';
  int size = w / BOARD_COLS;
  for (int r = 0; r < BOARD_ROWS; r++) {
    for (int c = 0; c < BOARD_COLS; c++) {
      VarnelButton *tile = new VarnelButton(c * size, r * size, size, size);
      buttons[r][c] = tile;
      tile->labelcolor(FL_WHITE);
      tile->col = c;
      tile->row = r;
      tile->cell = &board[r][c];
      tile->symbols = &symbols;
      tile->arrow_mode = &arrow_mode;
      marked[r][c] = 0;
      board[r][c] = CELL_EMPTY;
      tile->callback(button_select_cb, this);
    }
  }
  // 100 x 50 on 40-pixel tiles.
  int result_w = size * 5 / 2, result_h = size * 5 / 4;
  result_button =
      new ResultButton(w / 2 - result_w / 2, h / 2 - result_h / 2, result_w, result_h, buttons);
  result_button->color(FL_RED);
  result_button->labelcolor(FL_WHITE);
  result_button->hide();
  result_button->callback(reset_cb, this);
  end();
}

// A top-scores window must not outlive the board its callback points into.
// Deleted at once: a deferred deletion would never run once the event loop
// has ended.
Varnel::~Varnel() {
  close_scores_window(scores_window, true);
}

// The tiles, and the outline of the first selection (20 x 20 in a 40-pixel
// tile).
void Varnel::draw() {
  bool result_again = result_button->drawn_over(selected_button);
  Fl_Double_Window::draw();
  if (selected_button) {
    // For the keyboard the selection must not look like the outline of the
    // tile under the pointer, one white pixel as well: it widens, with a
    // black line inside that shows on the light tiles.
    Fl_Button *b = selected_button;
    int unit = VarnelButton::keys_used() ? mark_width(b->w()) : 0;
    int inset = b->w() / 4, white = inset + (unit ? 2 * unit : 1);
    for (int i = inset; i < white + unit; i++) {
      fl_color(i < white ? FL_WHITE : FL_BLACK);
      fl_rect(b->x() + i, b->y() + i, b->w() - 2 * i, b->h() - 2 * i);
    }
  }
  if (result_again) draw_child(*result_button);
}

int Varnel::level() const {
  return level_in_force ? level_in_force() : 1;
}

void Varnel::Array(int row, int col, int value) {
  board[row][col] = value;
  VarnelButton *tile = buttons[row][col];
  tile->color((Fl_Color)cell_colour(value));
  tile->show_arrow(arrow_mode == 1 && is_playable(value));
}

void Varnel::Swap(int row1, int col1, int row2, int col2) {
  int direction = buttons[row1][col1]->direction;
  buttons[row1][col1]->direction = buttons[row2][col2]->direction;
  buttons[row2][col2]->direction = direction;
  int value = board[row1][col1];
  Array(row1, col1, board[row2][col2]);
  Array(row2, col2, value);
}

// Every step of an animation is on screen before the next one; the flush
// also handles whatever input has arrived meanwhile.
void Varnel::show_step() {
  redraw();
  repaint_steps++;
  Fl::check();
}

void Varnel::Reset() {
  BoardBusy busy;
  tally_abandoned(tally, moves);
  game_number++;
  int n = colour_count(level());
  close_scores_window(scores_window);
  moves = 0;
  clear_selection();
  clear_hint();
  undo.clear();
  int directions[BOARD_ROWS][BOARD_COLS];
  tally = new_tally(seed_deal(next_deal, directions), level(), arrow_mode == 1);
  for (int r = 0; r < BOARD_ROWS; r++) {
    for (int c = 0; c < BOARD_COLS; c++) {
      buttons[r][c]->direction = directions[r][c];
      Array(r, c, r == 0 ? CELL_EMPTY : (int)(drand48() * n));
      marked[r][c] = 0;
    }
  }
  show_result(0);
  // Before the first flush: a move made during the deal's resolution
  // writes its own count.
  show_move_count();
  Matched();
  redraw();
}

int Varnel::Matched() {
  BoardBusy busy;
  int cleared = mark_matches(board, marked);
  if (cleared == 0) return 0;
  cleared_tiles += cleared;
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++)
      if (marked[r][c]) Array(r, c, CELL_EMPTY);
  long game = game_number;
  show_step();
  set_play_wav(SOUND_BLOP);
  if (game == game_number) Fall();
  return 1;
}

void Varnel::Fall() {
  BoardBusy busy;
  long game = game_number;
  bool moved_any = false;
  for (;;) {
    bool moved = false;
    int r = 0, c = 0;
    while (next_fall(board, r, c)) {
      Swap(r + 1, c, r, c);
      show_step();
      if (game != game_number) return;
      moved = true;
      c++;
    }
    if (!moved) break;
    moved_any = true;
  }
  while (moved_any && Matched() == 1) {
    if (game != game_number) return;
    show_step();
    if (game != game_number) return;
    Fall();
    if (game != game_number) return;
  }
  bool top_full = true;
  for (int c = 0; c < BOARD_COLS; c++)
    if (board[0][c] == CELL_EMPTY) top_full = false;
  if (top_full && global_win != -1) set_play_wav(SOUND_BELL);
}

void Varnel::count_move() {
  tally_move(tally);
  moves++;
  show_move_count();
}

// A game with no moves yet has an empty box, as at start-up.
void Varnel::show_move_count(const char *note) {
  if (note)
    snprintf(moves_text, sizeof moves_text, "%s", note);
  else if (moves > 0)
    snprintf(moves_text, sizeof moves_text, "%d", moves);
  else
    moves_text[0] = '\0';
  if (moves_box) {
    moves_box->label(moves_text);
    moves_box->redraw();
  }
}

// The marks of the last hint go at the next move or new game.
void Varnel::clear_hint() {
  for (auto &row : buttons)
    for (VarnelButton *tile : row)
      if (tile->hinted) tile->hinted = false, tile->redraw();
}

void Varnel::clear_selection() {
  sel_col = sel_row = sel2_col = sel2_row = -1;
  selected_button = nullptr;
}

int Varnel::FindSelectedButton(Fl_Button *button) {
  BoardBusy busy;
  int d = level();
  int row = -1, col = -1;
  for (int r = 0; r < BOARD_ROWS && row < 0; r++)
    for (int c = 0; c < BOARD_COLS; c++)
      if (buttons[r][c] == button) {
        row = r;
        col = c;
        break;
      }
  if (row < 0) {
    redraw();
    return 0;
  }
  if (!is_playable(board[row][col])) {
    set_play_wav(SOUND_HONK);
  } else if (sel_col == -1) {
    sel_col = col;
    sel_row = row;
    sel2_col = sel2_row = -1;
    selected_button = button;
    set_play_wav(SOUND_THUMP);
  } else if (col == sel_col && row == sel_row) {
    clear_selection();
    set_play_wav(SOUND_DING);
  } else {
    sel2_col = col;
    sel2_row = row;
    if (abs(sel_row - row) <= 1 && abs(sel_col - col) <= 1) {
      long game = game_number;
      clear_hint();
      set_play_wav(SOUND_PAN);
      begin_move();
      Swap(sel_row, sel_col, sel2_row, sel2_col);
      if (Matched() == 1) {
        if (game == game_number) show_step();
      } else if (d == 3) {
        Array(sel_row, sel_col, CELL_DEAD);
      }
      if (game == game_number) Breed();
      if (game == game_number) Fall();
      if (game != game_number) {
        // A new game began during the move: the board, its counter and its
        // selection are that game's now.
        redraw();
        return 1;
      }
      count_move();
    }
    clear_selection();
  }
  redraw();
  return 1;
}

int Varnel::Breed() {
  BoardBusy busy;
  int d = level();
  // The score is the game's as it stands now: a flush below can start a
  // new game.
  int won_moves = moves, won_mode = arrow_mode;
  bool won = global_win == 1, forced = won;
  for (int c = 0; c < BOARD_COLS; c++)
    if (board[BOARD_ROWS - 1][c] == CELL_EMPTY) won = true;
  if (!won) {
    int dead = dead_columns(board);
    int empty_top = 0;
    for (int c = 0; c < BOARD_COLS; c++) {
      if (board[0][c] != CELL_EMPTY) continue;
      empty_top++;
      int colour = breed_draw(d);
      if (colour != CELL_EMPTY) Array(0, c, colour);
    }
    if (empty_top > 0 && dead < BOARD_COLS) {
      set_play_wav(SOUND_POP);
      Matched();
      return 0;
    }
    set_play_wav(SOUND_SAD);
    tally_lost(tally);
    show_result(-1);
    Fl::check();
    return 0;
  }
  tally_won(tally, forced, won_moves);
  show_result(1);
  Fl::check();
  set_play_wav(SOUND_FANFARE);
  record_win(top_window(), d, won_moves, won_mode);
  // After Quit the score is kept, but no window is opened for it.
  if (!quit_pending()) ShowTopScores();
  return 1;
}

void Varnel::ArrowMove(VarnelButton *tile) {
  BoardBusy busy;
  long game = game_number;
  FindSelectedButton(tile);
  // A click nested in the first call may have begun a new game: the
  // neighbour belongs to the old one, and nothing may stay selected.
  if (game != game_number) return;
  int to_row, to_col;
  if (arrow_neighbour(tile->row, tile->col, tile->direction, to_row, to_col))
    FindSelectedButton(buttons[to_row][to_col]);
  else
    set_play_wav(SOUND_HONK);
  if (game == game_number) clear_selection();
}

// A press hands the board back to the mouse, and the mouse wheel turns the
// arrow of the tile under the pointer. While the result button shows, it
// takes the place of the tiles it covers in the keyboard's order: where the
// toolkit moves the focus onto one of them, the button takes it. Keys that
// the button itself has left are no one's.
int Varnel::handle(int event) {
  if (event == FL_PUSH) VarnelButton::keys_in_use(false);
  if (event == FL_KEYBOARD && result_button->visible()) {
    if (Fl::focus() == result_button) return 0;
    int taken = Fl_Double_Window::handle(event);
    result_button->take_focus_from_covered_tile();
    return taken;
  }
  if (event != FL_MOUSEWHEEL) return Fl_Double_Window::handle(event);
  // A sideways scroll (touchpads send many) is no turn.
  if (Fl::event_dy() == 0) return 1;
  for (int c = 0; c < BOARD_COLS; c++)
    for (int r = 0; r < BOARD_ROWS; r++)
      if (buttons[r][c]->hover == 1) {
        TurnArrow(buttons[r][c], Fl::event_dy() == -1);
        return 1;
      }
  return 1;
}

// One step of a tile's arrow, at the cost of a move; nothing in swap mode or
// after a loss.
void Varnel::TurnArrow(VarnelButton *tile, bool clockwise) {
  BoardBusy busy;
  if (global_win != 0 || arrow_mode != 1) return;
  clear_hint();
  begin_move();
  tile->direction = (tile->direction + (clockwise ? 1 : 7)) % 8;
  tile->show_arrow(true);
  tile->redraw();
  long game = game_number;
  count_move();
  Breed();
  if (game == game_number) Fall();
  redraw();
}

void button_select_cb(Fl_Widget *widget, void *data) {
  if (!widget || !data) return;
  Varnel *game = (Varnel *)data;
  // + and - on a focused tile turn its arrow.
  if (int turn = arrow_turn(Fl::event_key())) {
    game->TurnArrow((VarnelButton *)widget, turn > 0);
    return;
  }
  if (!acts_as_click(Fl::event_key())) return;
  if (game->arrow_mode == 1)
    game->ArrowMove((VarnelButton *)widget);
  else
    game->FindSelectedButton((Fl_Button *)widget);
}

void reset_cb(Fl_Widget *widget, void *data) {
  if (widget && data) ((Varnel *)data)->Reset();
}

void Varnel::begin_move() {
  remember_move(undo, board, buttons, result_button->shown_result());
}

void Varnel::show_result(int result) {
  global_win = result < 0 ? -1 : 0;
  result_button->show_result(result);
}

// Opens the top-scores window for the current list, replacing an open one.
void Varnel::ShowTopScores() {
  show_scores_window(scores_window, window());
}
