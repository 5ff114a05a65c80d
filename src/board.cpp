// The board widget and its tiles: drawing, the primitives Array and Swap, and
// the game's moves (new game, matching, gravity, selection, breeding, arrows).
#include "varnel.h"

#include <FL/fl_ask.H>
#include <FL/Fl_Scroll.H>
#include <FL/fl_draw.H>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "pa.h"
#include "symbols.h"
#include "top_scores.h"

int global_win = 0;

VarnelButton::VarnelButton(int x, int y, int w, int h, const char *label)
    : Fl_Button(x, y, w, h, label) {
  direction = (int)(drand48() * 8);
  col = row = 0;
  hover = 0;
  label_text[0] = '\0';
}

void VarnelButton::label(const char *text) {
  snprintf(label_text, sizeof label_text, "%s", text);
  Fl_Widget::label(label_text);
}

// The keyboard's focus is marked from the first key that moves it or acts on
// a tile until the next mouse press on the board, so that a mouse player
// sees the tiles as the toolkit draws them.
bool VarnelButton::focus_from_keys = false;

bool VarnelButton::keys_used() {
  return focus_from_keys;
}

void VarnelButton::keys_in_use(bool keys) {
  if (focus_from_keys == keys) return;
  focus_from_keys = keys;
  if (Fl::focus()) Fl::focus()->redraw();
}

// The button, its colour's glyph when the board shows them, the hover
// outline while the pointer is over the tile (30 x 30 in a 40-pixel tile),
// and the mark of the keyboard's focus.
void VarnelButton::draw() {
  if (focus_from_keys && Fl::focus() == this) {
    // The mark stands in for the toolkit's dotted box, faint on light tiles
    // and in the way of the selection outline.
    int dotted = Fl::visible_focus();
    Fl::visible_focus(0);
    Fl_Button::draw();
    Fl::visible_focus(dotted);
    draw_glyph();
    draw_focus_mark();
  } else {
    Fl_Button::draw();
    draw_glyph();
  }
  if (hover == 1) {
    int inset = w() / 8;
    fl_color(FL_WHITE);
    fl_rect(x() + inset, y() + inset, w() - 2 * inset, h() - 2 * inset);
  }
}

void VarnelButton::draw_glyph() {
  Varnel *board = (Varnel *)user_data();
  if (board && board->symbols)
    draw_symbol(board->board[row][col], color(), x(), y(), w(),
                board->arrow_mode == 1 ? labelsize() : 0);
}

// A white frame just inside the edge and a black one inside it: one of the
// two shows on every tile colour, and the black keeps the mark apart from
// the white hover and selection outlines.
void VarnelButton::draw_focus_mark() {
  int unit = std::max(1, w() / TILE_SIZE);
  for (int i = unit; i < 4 * unit; i++) {
    fl_color(i < 2 * unit ? FL_WHITE : FL_BLACK);
    fl_rect(x() + i, y() + i, w() - 2 * i, h() - 2 * i);
  }
}

// Space and Enter act on a tile as the left mouse button does.
static bool activates(int key) {
  return key == FL_Button + 1 || key == ' ' || key == FL_Enter || key == FL_KP_Enter;
}

// Keys on the focused tile. Space and Enter run its callback here, and not
// in the toolkit's button, which would run it a second time for Space; + and
// - turn the arrow as the wheel does. The arrow keys and Tab go on to the
// board, which moves the focus.
int VarnelButton::handle_key() {
  if (Fl::focus() != this || Fl::event_state(FL_CTRL | FL_ALT | FL_META)) return 0;
  int key = Fl::event_key();
  // '+' is Shift and '=' on most keyboards, and reported as '='.
  bool clockwise = key == '+' || key == '=' || key == FL_KP + '+';
  bool turn = clockwise || key == '-' || key == FL_KP + '-';
  bool moves_focus =
      key == FL_Tab || key == FL_Left || key == FL_Right || key == FL_Up || key == FL_Down;
  if (!turn && !moves_focus && !activates(key)) return 0;
  keys_in_use(true);
  Varnel *board = (Varnel *)user_data();
  if (board && board->under_result_button(this)) return board->covered_tile_key(this);
  if (moves_focus) return 0;
  if (turn)
    ((Varnel *)user_data())->TurnArrow(this, clockwise);
  else
    do_callback();
  return 1;
}

int VarnelButton::handle(int event) {
  switch (event) {
  case FL_ENTER:
    hover = 1;
    redraw();
    return 1;
  case FL_LEAVE:
    hover = 0;
    redraw();
    return 1;
  case FL_KEYBOARD:
    return handle_key() ? 1 : Fl_Button::handle(event);
  default:
    return Fl_Button::handle(event);
  }
}

// A name is drawn as typed: a normal label would take "joe@example.com" for
// "joe" and a symbol.
static void literal_label_draw(const Fl_Label *label, int x, int y, int w, int h, Fl_Align align) {
  fl_font(label->font, label->size);
  fl_color((Fl_Color)label->color);
  fl_draw(label->value, x, y, w, h, align, label->image, 0);
}

static void literal_label_measure(const Fl_Label *label, int &w, int &h) {
  fl_font(label->font, label->size);
  fl_measure(label->value, w, h, 0);
}

Varnel::Varnel(int x, int y, int w, int h, const char *label)
    : Fl_Double_Window(x, y, w, h, label) {
  color(FL_WHITE);
  moves = 0;
  arrow_mode = 0;
  sel_col = sel_row = sel2_col = sel2_row = -1;
  selected_button = nullptr;
  srand48((int)time(nullptr));
  box(FL_DOWN_BOX);
  scores_window = nullptr;
  moves_box = nullptr;
  moves_text[0] = '\0';
  // For the names of the top-scores window.
  Fl::set_labeltype(LITERAL_LABEL, literal_label_draw, literal_label_measure);
  int size = w / BOARD_COLS;
  for (int r = 0; r < BOARD_ROWS; r++) {
    for (int c = 0; c < BOARD_COLS; c++) {
      VarnelButton *tile = new VarnelButton(c * size, r * size, size, size);
      buttons[r][c] = tile;
      tile->labelcolor(FL_WHITE);
      tile->col = c;
      tile->row = r;
      marked[r][c] = 0;
      board[r][c] = CELL_EMPTY;
      tile->callback(button_select_cb, this);
    }
  }
  // 100 x 50 on 40-pixel tiles.
  int result_w = size * 5 / 2, result_h = size * 5 / 4;
  result_button =
      new Fl_Button(w / 2 - result_w / 2, h / 2 - result_h / 2, result_w, result_h, "You Lose");
  result_button->color(FL_RED);
  result_button->labelcolor(FL_WHITE);
  result_button->hide();
  result_button->callback(reset_cb, this);
  result_row = result_col = 0;
  end();
}

// A top-scores window must not outlive the board its callback points at.
// Deleted at once: a deferred deletion would never run once the event loop
// has ended.
Varnel::~Varnel() {
  if (scores_window) {
    scores_window->hide();
    delete scores_window;
    scores_window = nullptr;
  }
}

// The tiles, and the outline of the first selection (20 x 20 in a 40-pixel
// tile).
void Varnel::draw() {
  Fl_Double_Window::draw();
  if (selected_button) {
    Fl_Button *b = selected_button;
    int inset = b->w() / 4;
    fl_color(FL_WHITE);
    fl_rect(b->x() + inset, b->y() + inset, b->w() - 2 * inset, b->h() - 2 * inset);
  }
  // Above everything: a tile repainted alone would otherwise cover it.
  if (result_button->visible()) draw_child(*result_button);
}

bool Varnel::under_result_button(const Fl_Widget *tile) const {
  const Fl_Widget *b = result_button;
  return b->visible() && tile->x() < b->x() + b->w() && b->x() < tile->x() + tile->w() &&
         tile->y() < b->y() + b->h() && b->y() < tile->y() + tile->h();
}

// Shows the result button. It stands in the keyboard's order for the first
// tile it covers, or for the covered tile that the keyboard's focus is on,
// and takes that focus.
void Varnel::show_result_button() {
  result_button->show();
  for (int cell = BOARD_ROWS * BOARD_COLS; cell-- > 0;)
    if (under_result_button(buttons[cell / BOARD_COLS][cell % BOARD_COLS])) {
      result_row = cell / BOARD_COLS;
      result_col = cell % BOARD_COLS;
    }
  VarnelButton *tile = dynamic_cast<VarnelButton *>(Fl::focus());
  if (tile && tile->parent() == this && under_result_button(tile) && VarnelButton::keys_used()) {
    result_row = tile->row;
    result_col = tile->col;
    result_button->take_focus();
  }
}

// A click may have left the focus on a tile that the result button covers
// once it shows: the first key moves the focus to the button, which stands
// in for that tile, and Space or Enter then act on the button.
int Varnel::covered_tile_key(VarnelButton *tile) {
  result_row = tile->row;
  result_col = tile->col;
  result_button->take_focus();
  if (activates(Fl::event_key())) result_button->do_callback();
  return 1;
}

// While the result button shows, it takes the place of the tiles it covers
// in the keyboard's order: the focus moving onto one of them goes to the
// button, and from the button on past them, as from the tile it stands in
// for. Enter on it is a click, as Space is.
int Varnel::result_button_key() {
  if (Fl::focus() != result_button) {
    int taken = Fl_Double_Window::handle(FL_KEYBOARD);
    VarnelButton *tile = dynamic_cast<VarnelButton *>(Fl::focus());
    if (tile && tile->parent() == this && under_result_button(tile)) {
      result_row = tile->row;
      result_col = tile->col;
      result_button->take_focus();
    }
    return taken;
  }
  if (Fl::event_state(FL_CTRL | FL_ALT | FL_META)) return 0;
  int key = Fl::event_key();
  if (key == FL_Enter || key == FL_KP_Enter) {
    result_button->do_callback();
    return 1;
  }
  if (key == FL_Tab) key = Fl::event_state(FL_SHIFT) ? FL_Left : FL_Right;
  // Through the cells in the toolkit's order: along the rows, and
  // straight up and down.
  int step = key == FL_Right  ? 1
             : key == FL_Left ? -1
             : key == FL_Down ? BOARD_COLS
             : key == FL_Up   ? -BOARD_COLS
                              : 0;
  if (step == 0) return 0;
  const int cells = BOARD_ROWS * BOARD_COLS;
  int cell = result_row * BOARD_COLS + result_col;
  do
    cell += step;
  while (cell >= 0 && cell < cells &&
         under_result_button(buttons[cell / BOARD_COLS][cell % BOARD_COLS]));
  if (cell >= 0 && cell < cells) buttons[cell / BOARD_COLS][cell % BOARD_COLS]->take_focus();
  return 1;
}

int Varnel::level() const {
  MainWin *win = main_window ? main_window : closing_main_window();
  return win ? win->difficulty : 1;
}
void Varnel::Array(int row, int col, int value) {
  board[row][col] = value;
  VarnelButton *tile = buttons[row][col];
  tile->color((Fl_Color)cell_colour(value));
  char text[256] = "";
  if (arrow_mode == 1 && is_playable(value))
    snprintf(text, sizeof text, "@%d>", arrow_cycle[tile->direction]);
  tile->label(text);
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
  game_number++;
  global_win = 0;
  int n = colour_count(level());
  close_scores_window();
  moves = 0;
  sel_col = sel_row = sel2_col = sel2_row = -1;
  selected_button = nullptr;
  srand48((int)time(nullptr));
  for (int r = 0; r < BOARD_ROWS; r++) {
    for (int c = 0; c < BOARD_COLS; c++) {
      Array(r, c, r == 0 ? CELL_EMPTY : (int)(drand48() * n));
      marked[r][c] = 0;
    }
  }
  // A new game from the keyboard on the result button leaves the focus on
  // the tile the button stood for.
  bool focused = Fl::focus() == result_button && VarnelButton::keys_used();
  result_button->hide();
  if (focused) buttons[result_row][result_col]->take_focus();
  // Before the first flush: a move made during the deal's resolution
  // writes its own count.
  show_no_moves();
  Matched();
  redraw();
}

int Varnel::Matched() {
  BoardBusy busy;
  if (mark_matches(board, marked) == 0) return 0;
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

void Varnel::close_scores_window() {
  if (!scores_window) return;
  scores_window->hide();
  // Deferred: this may run inside a callback of that very window.
  Fl::delete_widget(scores_window);
  scores_window = nullptr;
}

void Varnel::count_move() {
  moves++;
  snprintf(moves_text, sizeof moves_text, "%d", moves);
  show_moves_text();
}

// The move box of a game with no moves yet, as at start-up.
void Varnel::show_no_moves() {
  moves_text[0] = '\0';
  show_moves_text();
}

// The move box shows moves_text.
void Varnel::show_moves_text() {
  if (moves_box) {
    moves_box->label(moves_text);
    moves_box->redraw();
  }
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
      set_play_wav(SOUND_PAN);
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

// Tells the player that the score of the game just won was not saved, and
// why. Like the name dialog, the message runs an event loop of its own: a
// move or a menu pick made meanwhile runs as it would from the board.
static void tell_score_lost(ScoreSave saved) {
  if (saved == SCORE_SAVED || quit_pending()) return;
  prepare_dialog();
  fl_alert("Your score could not be saved: %s.", score_loss_text(saved));
}

int Varnel::Breed() {
  BoardBusy busy;
  int d = level();
  // The score is the game's as it stands now: a flush below can start a
  // new game.
  int won_moves = moves, won_mode = arrow_mode;
  bool won = global_win == 1;
  for (int c = 0; c < BOARD_COLS; c++)
    if (board[BOARD_ROWS - 1][c] == CELL_EMPTY) won = true;
  if (!won) {
    int dead_columns = 0;
    for (int c = 0; c < BOARD_COLS; c++)
      for (int r = 0; r < BOARD_ROWS; r++)
        if (board[r][c] == CELL_DEAD) {
          dead_columns++;
          break;
        }
    int empty_top = 0;
    for (int c = 0; c < BOARD_COLS; c++) {
      if (board[0][c] != CELL_EMPTY) continue;
      empty_top++;
      int colour = breed_draw(d);
      if (colour != CELL_EMPTY) Array(0, c, colour);
    }
    if (empty_top > 0 && dead_columns < BOARD_COLS) {
      set_play_wav(SOUND_POP);
      Matched();
      return 0;
    }
    set_play_wav(SOUND_SAD);
    global_win = -1;
    result_button->label("You Lose.");
    // A win earlier in the run has left the button in the win's colours.
    result_button->color(FL_RED);
    result_button->labelcolor(FL_WHITE);
    show_result_button();
    Fl::check();
    return 0;
  }
  global_win = 0;
  result_button->label("You Win!");
  result_button->color(FL_WHITE);
  result_button->labelcolor(FL_BLUE);
  show_result_button();
  Fl::check();
  set_play_wav(SOUND_FANFARE);
  // The dialog's answer lives in a buffer of its own: copy it at once.
  char name[256] = "Player";
  const char *answer = nullptr;
  if (!quit_pending()) {
    prepare_dialog();
    answer = fl_input("Player Name");
  }
  // Quit closes the dialog; whatever it held then is not an answer.
  if (answer && answer[0] && !quit_pending()) snprintf(name, sizeof name, "%s", answer);
  tell_score_lost(write_top_scores(name, d, won_moves, won_mode));
  read_top_scores();
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

// The mouse wheel turns the arrow of the tile under the pointer. A press
// hands the board back to the mouse.
int Varnel::handle(int event) {
  if (event == FL_PUSH) VarnelButton::keys_in_use(false);
  if (event == FL_KEYBOARD && result_button->visible()) return result_button_key();
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
  tile->direction = (tile->direction + (clockwise ? 1 : 7)) % 8;
  char text[256];
  snprintf(text, sizeof text, "@%d>", arrow_cycle[tile->direction]);
  tile->label(text);
  tile->redraw();
  long game = game_number;
  count_move();
  Breed();
  if (game == game_number) Fall();
  redraw();
}

void button_select_cb(Fl_Widget *widget, void *data) {
  if (!widget || !data) return;
  if (!activates(Fl::event_key())) return;
  Varnel *game = (Varnel *)data;
  if (game->arrow_mode == 1)
    game->ArrowMove((VarnelButton *)widget);
  else
    game->FindSelectedButton((Fl_Button *)widget);
}

void reset_cb(Fl_Widget *widget, void *data) {
  if (widget && data) ((Varnel *)data)->Reset();
}

// One cell of a row of the top-scores window.
static Fl_Box *score_cell(int x, int y, int w, Fl_Color colour) {
  Fl_Box *cell = new Fl_Box(x, y, w, text_scaled(22));
  cell->box(FL_FLAT_BOX);
  cell->labelcolor(FL_BLACK);
  cell->color(colour);
  return cell;
}

// Opens the top-scores window for the current list, replacing an open one.
// Its rows and columns grow with the text; it is never taller than the
// screen's work area, and scrolls. The rows fill the inside of the frame,
// less the room of the vertical scrollbar when they need one, so that no
// scrollbar shows without need.
void Varnel::ShowTopScores() {
  close_scores_window();
  int row_h = text_scaled(22);
  int name_w = text_scaled(150), mode_w = text_scaled(100);
  int win_w = name_w + mode_w + text_scaled(150);
  int sx, sy, sw, sh;
  Fl::screen_work_area(sx, sy, sw, sh);
  int win_h = std::min(text_scaled(600), sh - text_scaled(TITLE_BAR));
  Fl_Double_Window *win = new Fl_Double_Window(win_w, win_h, "Top Scores");
  scores_window = win;
  Fl_Scroll *scroll = new Fl_Scroll(0, 0, win_w, win_h);
  scroll->box(FL_DOWN_BOX);
  scroll->color(FL_WHITE);
  int left = Fl::box_dx(FL_DOWN_BOX), top = Fl::box_dy(FL_DOWN_BOX);
  int inside_w = win_w - Fl::box_dw(FL_DOWN_BOX);
  if (score_cnt * row_h > win_h - Fl::box_dh(FL_DOWN_BOX)) inside_w -= Fl::scrollbar_size();
  int moves_w = inside_w - name_w - mode_w;
  for (int i = 0; i < score_cnt; i++) {
    int y = top + row_h * i;
    char moves[32];
    snprintf(moves, sizeof moves, "%d", score_list[i].moves);
    Fl_Box *name = score_cell(left, y, name_w, fl_rgb_color(255, 240, 150));
    // A long name shows its start.
    name->label(LITERAL_LABEL, score_list[i].name);
    name->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
    score_cell(left + name_w, y, mode_w, fl_rgb_color(180, 200, 250))
        ->copy_label(mode_text(score_list[i].mode));
    score_cell(left + name_w + mode_w, y, moves_w, fl_rgb_color(150, 240, 255))->copy_label(moves);
  }
  scroll->end();
  win->end();
  win->color(FL_WHITE);
  win->callback(top_score_win_cb, this);
  win->show();
}

void top_score_win_cb(Fl_Widget *, void *data) {
  if (data) ((Varnel *)data)->close_scores_window();
}
