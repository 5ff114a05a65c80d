// The Top Scores window, and the record of a win in top_scores.txt.
#include "scores_window.h"
#include "language.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Scroll.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
#include <algorithm>
#include <cstdio>

#include "busy_state.h"
#include "dialogs.h"
#include "sizes.h"
#include "top_scores.h"
#include "window_place.h"

// Tells the player that the score of the game just won was not saved, and
// why. Like the name dialog, the message runs an event loop of its own: a
// move or a menu pick made meanwhile runs as it would from the board.
static void tell_score_lost(Fl_Window *over, ScoreSave saved) {
  if (saved == SCORE_SAVED || quit_pending()) return;
  prepare_dialog(over);
  fl_alert(_("Your score could not be saved: %s."), score_loss_text(saved));
}

static std::string *last_player_name = nullptr;
static void (*keep_player_name)() = nullptr;

void remember_player_name(std::string *last_name, void (*kept)()) {
  last_player_name = last_name;
  keep_player_name = kept;
}

// The name given, if it is a new one, is proposed from now on.
static void name_given(const char *name) {
  if (!last_player_name || *last_player_name == name) return;
  std::string clean = name;
  for (char &ch : clean)
    if ((unsigned char)ch < ' ' || ch == 0x7f) ch = ' ';
  *last_player_name = clean;
  if (keep_player_name) keep_player_name();
}

void record_win(Fl_Window *over, int difficulty, int moves, int arrow_mode) {
  // The dialog's answer lives in a buffer of its own: copy it at once.
  char name[256] = "Player";
  const char *answer = nullptr;
  if (!quit_pending()) {
    prepare_dialog(over);
    answer =
        fl_input("%s", last_player_name ? last_player_name->c_str() : nullptr, _("Player Name"));
  }
  // Quit closes the dialog; whatever it held then is not an answer.
  if (answer && answer[0] && !quit_pending()) {
    snprintf(name, sizeof name, "%s", answer);
    name_given(name);
  }
  tell_score_lost(over, write_top_scores(name, difficulty, moves, arrow_mode));
  read_top_scores();
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

// One cell of a row of the top-scores window.
static Fl_Box *score_cell(int x, int y, int w, Fl_Color colour) {
  Fl_Box *cell = new Fl_Box(x, y, w, text_scaled(22));
  cell->box(FL_FLAT_BOX);
  cell->labelcolor(FL_BLACK);
  cell->color(colour);
  return cell;
}

// The rows fill the inside of the frame, less the room of the vertical
// scrollbar when they need one, so that no scrollbar shows without need.
Fl_Double_Window *new_scores_window() {
  Fl::set_labeltype(LITERAL_LABEL, literal_label_draw, literal_label_measure);
  int row_h = text_scaled(22);
  int name_w = text_scaled(150), mode_w = text_scaled(100);
  int win_w = name_w + mode_w + text_scaled(150);
  int sx, sy, sw, sh;
  Fl::screen_work_area(sx, sy, sw, sh);
  int win_h = std::min(text_scaled(600), sh - text_scaled(TITLE_BAR));
  Fl_Double_Window *win = new Fl_Double_Window(win_w, win_h, _("Top Scores"));
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
  if (score_cnt == 0) score_cell(left, top, inside_w, FL_WHITE)->label(_("No scores yet."));
  scroll->end();
  win->end();
  win->color(FL_WHITE);
  return win;
}

void close_scores_window(Fl_Double_Window *&holder, bool now) {
  if (!holder) return;
  holder->hide();
  if (now)
    delete holder;
  else
    Fl::delete_widget(holder);
  holder = nullptr;
}

// Closing the window: the user data is where it is held.
static void top_score_win_cb(Fl_Widget *, void *holder) {
  close_scores_window(*(Fl_Double_Window **)holder);
}

void show_scores_window(Fl_Double_Window *&holder, Fl_Window *beside) {
  close_scores_window(holder);
  holder = new_scores_window();
  holder->callback(top_score_win_cb, &holder);
  place_beside(holder, beside);
  holder->show();
}
