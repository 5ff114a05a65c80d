// Breeding after a move, winning and losing, the result button, the name
// dialog and the top-scores window.
#include "play_helpers.h"

#include "kept_game.h"

#include <FL/Fl_Scroll.H>
#include <FL/fl_draw.H>
#include <sys/stat.h>

using Sounds = std::vector<int>;

class BreedWinLoss : public GameTest {
protected:
  void SetUp() override {
    GameTest::SetUp();
    read_top_scores(); // as at start-up, in the empty working directory
    fill_playing(board());
  }
};

// The colours bred at each level, drawn from drand48 in column order, and
// Easy's chance drawn before the colour.
TEST_F(BreedWinLoss, BreedingDrawsPerLevel) {
  Varnel *b = board();
  const long seed = 20240611;
  for (int d = 0; d < 4; d++) {
    SCOPED_TRACE("level " + std::to_string(d) + ", seed " + std::to_string(seed));
    // The rule, written out with drand48 itself.
    srand48(seed);
    int expected[BOARD_COLS];
    for (int c = 0; c < BOARD_COLS; c++) {
      if (d != 0) {
        expected[c] = (int)(drand48() * (d + 5));
      } else {
        int chance = (int)(drand48() * 10);
        expected[c] = chance > 5 ? (int)(drand48() * 5) : CELL_EMPTY;
      }
    }
    srand48(seed);
    for (int c = 0; c < BOARD_COLS; c++)
      EXPECT_EQ(breed_draw(d), expected[c]) << "column " << c;
    for (int c = 0; c + 3 < BOARD_COLS; c++)
      ASSERT_FALSE(expected[c] >= 0 && expected[c] == expected[c + 1] &&
                   expected[c] == expected[c + 2] && expected[c] == expected[c + 3])
          << "pick another seed: the bred row matches";

    main_window->difficulty = d;
    fill_playing(b);
    clear_sounds();
    srand48(seed);
    EXPECT_EQ(b->Breed(), 0);
    for (int c = 0; c < BOARD_COLS; c++)
      EXPECT_EQ(b->board[0][c], expected[c]) << "column " << c;
    EXPECT_EQ(queued_sounds(), Sounds{0});
    EXPECT_EQ(global_win, 0);
    EXPECT_FALSE(b->result_button->visible());
  }

  // Over many draws every colour of the level's range turns up, and no other.
  for (int d = 0; d < 4; d++) {
    srand48(seed);
    int colours = d == 0 ? 5 : d + 5;
    std::vector<int> seen(colours, 0);
    int empty = 0;
    for (int i = 0; i < 20000; i++) {
      int v = breed_draw(d);
      if (v == CELL_EMPTY) {
        empty++;
        continue;
      }
      ASSERT_GE(v, 0);
      ASSERT_LT(v, colours) << "level " << d;
      seen[v]++;
    }
    for (int v = 0; v < colours; v++)
      EXPECT_GT(seen[v], 0) << "level " << d << " colour " << v;
    if (d == 0)
      EXPECT_NEAR(empty / 20000.0, 0.6, 0.02);
    else
      EXPECT_EQ(empty, 0);
  }
}

// In Easy a breeding step can add nothing; it still pops and is not lost.
TEST_F(BreedWinLoss, EasyBreedingThatAddsNothing) {
  Varnel *b = board();
  main_window->difficulty = 0;
  long seed = seed_breeding_nothing();
  SCOPED_TRACE("seed " + std::to_string(seed));
  srand48(seed);
  clear_sounds();
  EXPECT_EQ(b->Breed(), 0);
  for (int c = 0; c < BOARD_COLS; c++)
    EXPECT_EQ(b->board[0][c], CELL_EMPTY);
  EXPECT_EQ(queued_sounds(), Sounds{0});
  EXPECT_EQ(global_win, 0);
}

TEST_F(BreedWinLoss, LossesAndTheResultButton) {
  Varnel *b = board();
  // As built: red with a white label.
  fill_without_matches(b);
  clear_sounds();
  EXPECT_EQ(b->Breed(), 0);
  EXPECT_EQ(queued_sounds(), Sounds{3});
  EXPECT_EQ(global_win, -1);
  EXPECT_STREQ(b->result_button->label(), "You Lose.");
  EXPECT_TRUE(b->result_button->visible());
  EXPECT_EQ(b->result_button->color(), FL_RED);
  EXPECT_EQ(b->result_button->labelcolor(), FL_WHITE);

  // Every column holding a dead tile loses although the top row has room;
  // nineteen such columns do not.
  fill_playing(b);
  global_win = 0;
  for (int c = 0; c < BOARD_COLS - 1; c++)
    b->Array(10, c, CELL_DEAD);
  clear_sounds();
  b->Breed();
  EXPECT_EQ(queued_sounds()[0], 0);
  EXPECT_EQ(global_win, 0);
  fill_playing(b);
  for (int c = 0; c < BOARD_COLS; c++)
    b->Array(5 + c % 7, c, CELL_DEAD);
  clear_sounds();
  b->Breed();
  EXPECT_EQ(queued_sounds(), Sounds{3});
  EXPECT_EQ(global_win, -1);

  // A win turns it blue on white; a new game hides it, and a later loss
  // shows it red on white again.
  NameDialog answer(nullptr);
  win_cb(nullptr, nullptr);
  EXPECT_EQ(answer.answered, 1);
  EXPECT_EQ(global_win, 0);
  EXPECT_STREQ(b->result_button->label(), "You Win!");
  EXPECT_EQ(b->result_button->color(), FL_WHITE);
  EXPECT_EQ(b->result_button->labelcolor(), FL_BLUE);
  b->result_button->do_callback();
  EXPECT_FALSE(b->result_button->visible());
  EXPECT_EQ(global_win, 0);
  fill_without_matches(b);
  b->Breed();
  EXPECT_STREQ(b->result_button->label(), "You Lose.");
  EXPECT_TRUE(b->result_button->visible());
  EXPECT_EQ(b->result_button->color(), FL_RED);
  EXPECT_EQ(b->result_button->labelcolor(), FL_WHITE);
}

// A swap that clears a whole column wins before anything is bred; the score
// is recorded before the move is counted.
TEST_F(BreedWinLoss, WinningMoveRecordsTheScore) {
  Varnel *b = board();
  column_ready_to_clear(board());
  NameDialog answer(nullptr);
  clear_sounds();
  left_click(b, 19, 0);
  left_click(b, 19, 1);
  EXPECT_EQ(answer.answered, 1);
  Sounds s = queued_sounds();
  ASSERT_GE(s.size(), 4u);
  EXPECT_EQ((Sounds{s[0], s[1], s[2], s[3]}), (Sounds{4, 5, 1, 2}));
  EXPECT_EQ(std::count(s.begin(), s.end(), 0), 0) << "bred after a win";
  for (int c = 1; c < BOARD_COLS; c++)
    EXPECT_EQ(b->board[0][c], CELL_EMPTY);
  EXPECT_EQ(global_win, 0);
  EXPECT_STREQ(b->result_button->label(), "You Win!");
  EXPECT_EQ(file_text("top_scores.txt"), "0:1:Player\n");
  EXPECT_EQ(b->moves, 1);
  EXPECT_STREQ(b->moves_box->label(), "1");
  ASSERT_NE(b->scores_window, nullptr);
  EXPECT_TRUE(b->scores_window->shown());

  // The emptied column stays empty, so the next move wins again, with its
  // own dialog and line; the window is replaced.
  Fl_Widget_Tracker first(b->scores_window);
  NameDialog second("Ann Lee");
  left_click(b, 10, 10);
  left_click(b, 10, 11);
  EXPECT_EQ(second.answered, 1);
  EXPECT_EQ(file_text("top_scores.txt"), "0:1:Player\n1:1:Ann Lee\n");
  EXPECT_EQ(b->moves, 2);
  Fl::check();
  EXPECT_TRUE(first.deleted());
  ASSERT_NE(b->scores_window, nullptr);
  EXPECT_TRUE(b->scores_window->shown());
}

// Undo takes the winning move back to the board before it, without the
// result button, the score and counter kept; while the move still runs
// (its name dialog open), Undo does nothing.
TEST_F(BreedWinLoss, UndoAfterAWinAndNotDuringIt) {
  Varnel *b = board();
  column_ready_to_clear(b);
  Cells before, during;
  memcpy(before, b->board, sizeof before);
  NameDialog answer(nullptr, 2);
  bool untouched = false;
  answer.instead = [&] {
    memcpy(during, b->board, sizeof during);
    undo_cb(nullptr, nullptr);
    untouched = memcmp(during, b->board, sizeof during) == 0 && b->result_button->visible();
  };
  left_click(b, 19, 0);
  left_click(b, 19, 1);
  EXPECT_TRUE(untouched);
  undo_cb(nullptr, nullptr);
  EXPECT_EQ(memcmp(before, b->board, sizeof before), 0);
  EXPECT_FALSE(b->result_button->visible());
  EXPECT_EQ(b->moves, 1);
  EXPECT_EQ(file_text("top_scores.txt"), "0:1:Player\n");
  // Undo after the menu's Win takes back that win, and no move before it.
  win_cb(nullptr, nullptr);
  undo_cb(nullptr, nullptr);
  EXPECT_FALSE(b->result_button->visible());
}

// A move made after a loss, taken back, brought the lost board back as a
// live game, kept as unfinished: the loss shows again, and it is not kept.
TEST_F(BreedWinLoss, UndoAfterALossKeepsTheLoss) {
  Varnel *b = board();
  main_window->keep_game_between_runs();
  fill_without_matches(b);
  swap_move(b, 10, 10);
  ASSERT_EQ(global_win, -1);
  swap_move(b, 12, 10);
  undo_cb(nullptr, nullptr);
  EXPECT_TRUE(global_win == -1 && b->result_button->visible());
  EXPECT_STREQ(b->result_button->label(), "You Lose.");
  finish_keeping_game();
  GameRecord kept;
  EXPECT_FALSE(load_kept_game(&kept));
}

TEST_F(BreedWinLoss, NameDialogAnswers) {
  Varnel *b = board();
  main_window->difficulty = 2;
  b->moves = 12;
  {
    NameDialog answer("");
    win_cb(nullptr, nullptr);
  }
  {
    NameDialog answer("Zoë: the best");
    win_cb(nullptr, nullptr);
  }
  {
    // Closing the dialog's window is a cancel as well.
    // It proposes the name given last, kept with the settings.
    NameDialog answer(nullptr);
    std::string proposed;
    answer.instead = [&] {
      Fl_Input *in;
      Fl_Window *dialog = find_dialog(&in);
      proposed = in->value();
      dialog->do_callback();
    };
    b->moves = 3;
    win_cb(nullptr, nullptr);
    EXPECT_EQ(answer.answered, 1);
    EXPECT_EQ(proposed, "Zoë: the best");
    EXPECT_EQ(load_settings().name, "Zoë: the best");
  }
  EXPECT_EQ(file_text("top_scores.txt"), "3:2:Player\n12:2:Zoë: the best\n12:2:Player\n");
}

// A win that cannot be recorded is told, before the top-scores window opens.
TEST_F(BreedWinLoss, LostScoreIsTold) {
  ASSERT_EQ(mkdir("top_scores.txt", 0755), 0); // not even root writes this
  std::string title, text;
  NameDialog answers("Ann", 2);
  answers.instead = [&] {
    Fl_Input *input = nullptr;
    Fl_Window *dialog = find_dialog(&input);
    if (input->visible() || board()->scores_window) return;
    title = dialog->label() ? dialog->label() : "";
    for (int i = 0; i < dialog->children(); i++)
      if (dialog->child(i)->label() && strstr(dialog->child(i)->label(), "score"))
        text = dialog->child(i)->label();
  };
  win_cb(nullptr, nullptr);
  EXPECT_EQ(answers.answered, 2);
  EXPECT_EQ(title, "Varnel");
  EXPECT_EQ(text, "Your score could not be saved: the scores file is not a regular file.");
  EXPECT_NE(board()->scores_window, nullptr);
}

// The rows of the window for the lines of the file.
TEST_F(BreedWinLoss, ScoresWindowRows) {
  Varnel *b = board();
  write_file("top_scores.txt",
             "12:2:abc\n12:-3:abc\n12:0:\n12:1:a:b\n12:1:abc\r\n:2:x\n"
             "abc:def:x\n12:9:x\n12:1\n\n5:-1:m\n3:1:joe@example.com\n4:2:@circle\n");
  read_top_scores();
  ASSERT_EQ(score_cnt, 11);
  b->ShowTopScores();
  Fl_Double_Window *win = b->scores_window;
  ASSERT_NE(win, nullptr);
  EXPECT_TRUE(win->shown());
  EXPECT_STREQ(win->label(), "Top Scores");
  EXPECT_EQ(win->w(), 400);
  EXPECT_EQ(win->h(), 600);
  EXPECT_EQ(win->color(), FL_WHITE);
  ASSERT_EQ(win->children(), 1);
  Fl_Scroll *scroll = dynamic_cast<Fl_Scroll *>(win->child(0));
  ASSERT_NE(scroll, nullptr);
  EXPECT_EQ(scroll->box(), FL_DOWN_BOX);
  EXPECT_EQ(scroll->color(), FL_WHITE);

  const char *names[11] = {"abc",    "abc", "", "a:b", "abc", "x", "x", "x", "m", "joe@example.com",
                           "@circle"};
  const char *modes[11] = {"Hard", "Stupid Arrow", "Easy",         "Medium", "Medium", "Hard",
                           "Easy", "Medium",       "Medium Arrow", "Medium", "Hard"};
  const char *moves[11] = {"12", "12", "12", "12", "12", "0", "0", "12", "5", "3", "4"};
  std::vector<Fl_Box *> boxes;
  for (int i = 0; i < scroll->children(); i++)
    if (Fl_Box *box = dynamic_cast<Fl_Box *>(scroll->child(i))) boxes.push_back(box);
  ASSERT_EQ(boxes.size(), 33u);
  const Fl_Color colours[3] = {fl_rgb_color(255, 240, 150), fl_rgb_color(180, 200, 250),
                               fl_rgb_color(150, 240, 255)};
  // Inside the scroll area's frame.
  const int xs[3] = {2, 152, 252}, ws[3] = {150, 100, 146};
  for (int i = 0; i < 11; i++) {
    SCOPED_TRACE("row " + std::to_string(i));
    for (int k = 0; k < 3; k++) {
      Fl_Box *box = boxes[i * 3 + k];
      EXPECT_EQ(box->x(), xs[k]);
      EXPECT_EQ(box->y(), 2 + 22 * i);
      EXPECT_EQ(box->w(), ws[k]);
      EXPECT_EQ(box->h(), 22);
      EXPECT_EQ(box->color(), colours[k]);
      EXPECT_EQ(box->box(), FL_FLAT_BOX);
      EXPECT_EQ(box->labelcolor(), FL_BLACK);
    }
    EXPECT_EQ(boxes[i * 3]->label(), score_list[i].name) << "not the entry's own buffer";
    EXPECT_STREQ(boxes[i * 3]->label(), names[i]);
    // A name takes the room of its text as typed: '@' starts no symbol.
    int w = 0, h = 0, text_w = 0, text_h = 0;
    boxes[i * 3]->measure_label(w, h);
    fl_font(boxes[i * 3]->labelfont(), boxes[i * 3]->labelsize());
    fl_measure(names[i], text_w, text_h, 0);
    EXPECT_EQ(w, text_w);
    EXPECT_STREQ(boxes[i * 3 + 1]->label(), modes[i]);
    EXPECT_STREQ(boxes[i * 3 + 2]->label(), moves[i]);
  }

  // One window at a time, and a new game closes it.
  Fl_Widget_Tracker first(win);
  b->ShowTopScores();
  Fl::check();
  EXPECT_TRUE(first.deleted());
  Fl_Widget_Tracker second(b->scores_window);
  int shown = 0;
  for (Fl_Window *w = Fl::first_window(); w; w = Fl::next_window(w))
    shown += w->label() && strcmp(w->label(), "Top Scores") == 0;
  EXPECT_EQ(shown, 1);
  b->Reset();
  Fl::check();
  EXPECT_TRUE(second.deleted());
  EXPECT_EQ(b->scores_window, nullptr);

  // Game -> Top Scores reads the file as it is now (it showed the list as
  // last read): with no file, one line says so.
  ASSERT_EQ(unlink("top_scores.txt"), 0);
  top_scores_cb(nullptr, nullptr);
  scroll = dynamic_cast<Fl_Scroll *>(b->scores_window->child(0));
  std::vector<std::string> lines;
  for (int i = 0; i < scroll->children(); i++)
    if (Fl_Box *box = dynamic_cast<Fl_Box *>(scroll->child(i))) lines.push_back(box->label());
  EXPECT_EQ(lines, std::vector<std::string>{"No scores yet."});
}

// The rows were as wide as the frame's outside, so both scrollbars showed
// even for one row; and a long name was centred, cut at both ends.
TEST_F(BreedWinLoss, ScoresWindowScrollsOnlyWhenItMust) {
  for (int rows : {1, 40}) {
    write_file("top_scores.txt", "");
    for (int i = 0; i < rows; i++)
      std::ofstream("top_scores.txt", std::ios::app) << i << ":1:" << std::string(40, 'W') << "\n";
    read_top_scores();
    board()->ShowTopScores();
    Fl_Scroll *scroll = (Fl_Scroll *)board()->scores_window->child(0);
    // The scroll area sets its scrollbars as it is drawn.
    EXPECT_TRUE(pump_until([&] { return !scroll->hscrollbar.visible(); })) << rows;
    EXPECT_EQ(scroll->scrollbar.visible() != 0, rows == 40);
    EXPECT_EQ(scroll->child(0)->align(), FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
  }
}

// Quit destroys an open top-scores window with the board. Escape in the main
// window changes nothing; closing it through the window manager is Quit.
TEST_F(BreedWinLoss, ScoresWindowAndTheMainWindowClosing) {
  Varnel *b = board();
  write_file("top_scores.txt", "4:1:a\n");
  read_top_scores();
  b->ShowTopScores();
  Fl_Widget_Tracker board_alive(b), scores_alive(b->scores_window);

  // An Escape that no widget takes goes to the window's callback.
  Fl::e_keysym = FL_Escape;
  Fl::handle(FL_SHORTCUT, main_window);
  Fl::check();
  EXPECT_TRUE(main_window->shown());
  ASSERT_FALSE(board_alive.deleted());
  ASSERT_FALSE(scores_alive.deleted());
  EXPECT_TRUE(b->scores_window->shown());
  b->scores_window->do_callback();
  Fl::check();
  EXPECT_TRUE(scores_alive.deleted());
  EXPECT_EQ(b->scores_window, nullptr);

  b->ShowTopScores();
  Fl_Widget_Tracker reopened(b->scores_window);
  quit_cb(nullptr, nullptr);
  EXPECT_EQ(main_window, nullptr);
  Fl::check();
  EXPECT_TRUE(board_alive.deleted());
  EXPECT_TRUE(reopened.deleted());
  EXPECT_EQ(Fl::first_window(), nullptr);

  // What the window manager's close button does, with the top-scores window
  // open.
  main_window = new MainWin(1, 800, 830, "Varnel test");
  Fl::check();
  main_window->game->ShowTopScores();
  Fl_Widget_Tracker window(main_window), scores(main_window->game->scores_window);
  Fl::handle(FL_CLOSE, main_window);
  EXPECT_EQ(main_window, nullptr);
  Fl::check();
  EXPECT_TRUE(window.deleted());
  EXPECT_TRUE(scores.deleted());
  EXPECT_EQ(Fl::first_window(), nullptr);
}
