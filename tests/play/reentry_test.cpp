// Input that arrives inside the flushes of a running move: clicks, wheel
// turns, menu picks, a second win and Quit. The board must come through
// each of them whole (these tests matter most under the address sanitizer).
#include "play_helpers.h"

class Reentry : public GameTest {
protected:
  void SetUp() override {
    GameTest::SetUp();
    read_top_scores();
  }
  // A swap of (10,11) with (10,12) completes four 9s in column 12; the
  // tiles above fall four cells each, one flush per cell.
  void cascade_ready() {
    Varnel *b = board();
    fill_playing(b);
    for (int r = 11; r <= 13; r++)
      b->Array(r, 12, 9);
    b->Array(10, 11, 9);
    b->Array(10, 12, 11);
    srand48(5);
  }
  void cascade_move() {
    left_click(board(), 10, 11);
    left_click(board(), 10, 12);
  }
  // Column 0 clears when (19,0) and (19,1) swap, and the move wins.
  void winning_move_ready() {
    Varnel *b = board();
    fill_playing(b);
    column_ready_to_clear(b);
  }
  void winning_move() {
    left_click(board(), 19, 0);
    left_click(board(), 19, 1);
  }
  void expect_whole_board() {
    Varnel *b = board();
    for (int r = 0; r < BOARD_ROWS; r++)
      for (int c = 0; c < BOARD_COLS; c++) {
        int v = b->board[r][c];
        ASSERT_TRUE(v == CELL_EMPTY || v == CELL_DEAD || (v >= 0 && v < 12)) << r << "," << c;
        ASSERT_EQ(b->buttons[r][c]->color(), (Fl_Color)cell_colour(v)) << r << "," << c;
      }
    EXPECT_EQ(b->sel_col, -1);
    EXPECT_EQ(b->selected_button, nullptr);
  }
  // A fresh main window after the last one was quit.
  void new_main_window() {
    main_window = new MainWin(1, 800, 830, "Varnel test");
    Fl::check();
  }
};

TEST_F(Reentry, ClicksAndMenuPicksInsideAMove) {
  int flushes = 0;
  {
    cascade_ready();
    AtFlush count(1 << 30, nullptr);
    cascade_move();
    flushes = count.seen;
  }
  ASSERT_GT(flushes, 20);
  std::vector<std::pair<const char *, std::function<void()>>> actions = {
      {"click on the first selection", [this] { left_click(board(), 10, 11); }},
      {"click on a neighbour", [this] { left_click(board(), 10, 10); }},
      {"click on a far tile", [this] { left_click(board(), 3, 3); }},
      {"Reset", [] { reset_menu_cb(nullptr, nullptr); }},
      {"Stupid", [] { stupid_cb(nullptr, nullptr); }},
      {"Toggle Arrow Mode", [] { arrow_mode_cb(nullptr, nullptr); }},
      {"Win", [] {
         NameDialog answer("nested");
         win_cb(nullptr, nullptr);
       }}};
  for (auto &action : actions) {
    for (int k = 1; k <= flushes; k += 4) {
      SCOPED_TRACE(std::string(action.first) + " at flush " + std::to_string(k));
      main_window->difficulty = 1;
      board()->arrow_mode = 0;
      global_win = 0;
      cascade_ready();
      AtFlush inject(k, action.second);
      cascade_move();
      EXPECT_GE(inject.seen, k) << "the move ended before the action";
      expect_whole_board();
    }
  }
}

TEST_F(Reentry, QuitInsideAMove) {
  int flushes = 0;
  {
    cascade_ready();
    AtFlush count(1 << 30, nullptr);
    cascade_move();
    flushes = count.seen;
  }
  for (int k : {1, flushes / 2, flushes}) {
    SCOPED_TRACE("quit at flush " + std::to_string(k));
    cascade_ready();
    Varnel *b = board();
    Fl_Widget_Tracker alive(b);
    int before = b->moves;
    {
      AtFlush inject(k, [] { quit_cb(nullptr, nullptr); });
      cascade_move();
    }
    EXPECT_EQ(main_window, nullptr);
    EXPECT_EQ(b->moves, before + 1) << "the move did not run to its end";
    Fl::check();
    EXPECT_TRUE(alive.deleted());
    EXPECT_EQ(Fl::first_window(), nullptr);
    new_main_window();
  }
}

// Clicks the result button in the flush that shows it.
static void click_result_when_shown(void *data) {
  Varnel *b = (Varnel *)data;
  if (!b->result_button->visible()) return;
  Fl::remove_check(click_result_when_shown, data);
  b->result_button->do_callback();
}

// A new game begun inside a move, or inside a win by the win's own result
// button, is left as it was dealt: no move counted, nothing bred, no result
// shown. The win is still recorded with its own count, and its scores
// window opens.
TEST_F(Reentry, ANewGameInsideAMoveOrAWinIsLeftAlone) {
  Varnel *b = board();
  for (int k : {1, 2, 8}) {
    SCOPED_TRACE("Reset at flush " + std::to_string(k));
    cascade_ready();
    snprintf(b->moves_text, sizeof b->moves_text, "4");
    b->moves_box->label(b->moves_text);
    {
      AtFlush inject(k, [] { reset_menu_cb(nullptr, nullptr); });
      cascade_move();
    }
    EXPECT_EQ(b->moves, 0);
    EXPECT_STREQ(b->moves_box->label(), "");
    for (int c = 0; c < BOARD_COLS; c++)
      EXPECT_EQ(b->board[0][c], CELL_EMPTY) << "bred into column " << c;
    EXPECT_FALSE(b->result_button->visible());
    expect_whole_board();
  }

  winning_move_ready();
  b->moves = 5;
  Cells dealt;
  NameDialog answer("Won");
  answer.instead = [&] { memcpy(dealt, b->board, sizeof dealt); };
  Fl::add_check(click_result_when_shown, b);
  winning_move();
  Fl::remove_check(click_result_when_shown, b);
  EXPECT_EQ(answer.answered, 1);
  EXPECT_EQ(file_text("top_scores.txt"), "5:1:Won\n");
  ASSERT_NE(b->scores_window, nullptr);
  EXPECT_TRUE(b->scores_window->shown());
  EXPECT_EQ(b->moves, 0);
  EXPECT_STREQ(b->moves_box->label(), "");
  EXPECT_FALSE(b->result_button->visible());
  EXPECT_EQ(memcmp(dealt, b->board, sizeof dealt), 0);
  expect_whole_board();
}

// An arrow click nested in a move whose own move begins a new game: its
// second half must not select a tile of the new board.
TEST_F(Reentry, ANewGameInsideANestedArrowClickLeavesNothingSelected) {
  arrow_mode_cb(nullptr, nullptr);
  Varnel *b = board();
  cascade_ready();
  b->buttons[10][11]->direction = 2; // at (10,12): the cascade
  b->buttons[11][11]->direction = 4; // a neighbour of (10,11), at (12,11)
  {
    AtFlush inject(1, [b] {
      AtFlush reset(1, [] { reset_menu_cb(nullptr, nullptr); });
      left_click(b, 11, 11);
    });
    left_click(b, 10, 11);
  }
  EXPECT_EQ(b->moves, 0) << "no new game began";
  expect_whole_board();
}

// Quit while the name dialog is open closes it: the score is still written
// under "Player", and no top-scores window opens.
TEST_F(Reentry, QuitWhileTheNameDialogIsOpen) {
  winning_move_ready();
  Fl_Widget_Tracker alive(board());
  NameDialog answer("never typed");
  answer.instead = [] { quit_cb(nullptr, nullptr); };
  winning_move();
  EXPECT_EQ(answer.answered, 1);
  EXPECT_EQ(file_text("top_scores.txt"), "0:1:Player\n");
  EXPECT_EQ(main_window, nullptr);
  Fl::check();
  EXPECT_TRUE(alive.deleted());
  EXPECT_EQ(Fl::first_window(), nullptr);
}

// Quit after half a name was typed: the closed dialog still holds the text
// (once an earlier dialog was answered with OK), which is not an answer.
TEST_F(Reentry, QuitWithHalfANameTyped) {
  winning_move_ready();
  {
    NameDialog first("Ann");
    winning_move();
  }
  winning_move_ready();
  NameDialog second("never typed");
  second.instead = [] {
    Fl_Input *input = nullptr;
    if (find_dialog(&input)) input->value("Half a na");
    quit_cb(nullptr, nullptr);
  };
  winning_move();
  EXPECT_EQ(second.answered, 1);
  EXPECT_EQ(file_text("top_scores.txt"), "0:1:Ann\n1:1:Player\n");
  Fl::check();
}

// Quit before the winning move has reached its breeding step: the score is
// recorded at the level played, though the main window is already gone.
TEST_F(Reentry, QuitBeforeTheWinKeepsTheLevel) {
  main_window->difficulty = 3;
  winning_move_ready();
  {
    AtFlush inject(1, [] { quit_cb(nullptr, nullptr); });
    winning_move();
  }
  EXPECT_EQ(file_text("top_scores.txt"), "0:3:Player\n");
  Fl::check();
}

// A second win while the first one's dialog is open, by the menu or by a
// move, records its own score under "Player"; the first is answered after.
TEST_F(Reentry, SecondWinWhileTheNameDialogIsOpen) {
  winning_move_ready();
  {
    NameDialog answer("Outer");
    answer.instead = [] { win_cb(nullptr, nullptr); };
    winning_move();
  }
  EXPECT_EQ(file_text("top_scores.txt"), "0:1:Outer\n0:1:Player\n");
  ASSERT_NE(board()->scores_window, nullptr);

  // The column stays empty: the next move wins again, and so does one made
  // while its dialog is open.
  {
    NameDialog answer("Again");
    // The outer move's selection is still (5,5): a click on its neighbour
    // makes a second move.
    answer.instead = [this] { left_click(board(), 4, 4); };
    left_click(board(), 5, 5);
    left_click(board(), 5, 6);
  }
  // Both wins came with the count at 1: the outer one records its count as
  // it was when it was won, before the move made in its dialog.
  EXPECT_EQ(file_text("top_scores.txt"), "0:1:Outer\n0:1:Player\n1:1:Again\n1:1:Player\n");
  EXPECT_EQ(board()->moves, 3);
  expect_whole_board();
}

// In arrow mode: a wheel notch and a click inside the flushes of a wheel
// turn, and Quit inside one.
TEST_F(Reentry, WheelTurnsInsideAWheelTurn) {
  arrow_mode_cb(nullptr, nullptr);
  Varnel *b = board();
  auto holes = [b] {
    fill_playing(b);
    // The tiles bred into column 3 fall five cells.
    for (int r = 1; r <= 5; r++)
      b->Array(r, 3, CELL_EMPTY);
    srand48(3);
  };
  holes();
  ASSERT_TRUE(pointer_to_tile(b, 12, 12));
  {
    AtFlush inject(2, [] { xdo("click 4"); });
    ASSERT_TRUE(xdo("click 5"));
    ASSERT_TRUE(pump_until([&] { return b->moves == 2; }));
    EXPECT_GE(inject.seen, 2);
  }
  expect_whole_board();

  holes();
  {
    AtFlush inject(2, [b] {
      b->buttons[14][14]->direction = 6;
      left_click(b, 14, 14);
    });
    int before = b->moves;
    ASSERT_TRUE(xdo("click 5"));
    ASSERT_TRUE(pump_until([&] { return b->moves == before + 2; }));
  }
  expect_whole_board();

  holes();
  Fl_Widget_Tracker alive(b);
  {
    AtFlush inject(3, [] { quit_cb(nullptr, nullptr); });
    ASSERT_TRUE(xdo("click 4"));
    ASSERT_TRUE(pump_until([&] { return alive.deleted(); }));
  }
  EXPECT_EQ(main_window, nullptr);
}
