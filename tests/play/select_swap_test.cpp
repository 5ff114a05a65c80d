// Selecting and swapping tiles in swap mode: the selection with its sounds,
// the move it makes, Stupid's dead tiles, and which clicks count.
#include "play_helpers.h"

using Sounds = std::vector<int>;

class SelectSwap : public GameTest {
protected:
  void SetUp() override {
    GameTest::SetUp();
    fill_playing(board());
    srand48(7);
    clear_sounds();
  }
  bool nothing_selected() {
    Varnel *b = board();
    return b->sel_col == -1 && b->sel_row == -1 && b->sel2_col == -1 && b->sel2_row == -1 &&
           b->selected_button == nullptr;
  }
  bool selected(int row, int col) {
    Varnel *b = board();
    return b->sel_row == row && b->sel_col == col && b->sel2_col == -1 && b->sel2_row == -1 &&
           b->selected_button == b->buttons[row][col];
  }
};

TEST_F(SelectSwap, SelectionStatesAndTheirSounds) {
  Varnel *b = board();
  b->Array(5, 5, CELL_EMPTY);
  b->Array(5, 7, CELL_DEAD);

  left_click(b, 5, 5); // empty, nothing selected
  left_click(b, 5, 7); // dead, nothing selected
  EXPECT_EQ(queued_sounds(), (Sounds{8, 8}));
  EXPECT_TRUE(nothing_selected());

  clear_sounds();
  left_click(b, 8, 8);
  EXPECT_EQ(queued_sounds(), (Sounds{4}));
  EXPECT_TRUE(selected(8, 8));

  // Unplayable cells honk and keep the selection.
  b->Array(9, 9, CELL_EMPTY);
  b->Array(7, 7, CELL_DEAD);
  clear_sounds();
  left_click(b, 9, 9);
  left_click(b, 7, 7);
  EXPECT_EQ(queued_sounds(), (Sounds{8, 8}));
  EXPECT_TRUE(selected(8, 8));

  // The selected tile again cancels.
  clear_sounds();
  left_click(b, 8, 8);
  EXPECT_EQ(queued_sounds(), (Sounds{6}));
  EXPECT_TRUE(nothing_selected());
  EXPECT_EQ(b->moves, 0);

  // A far tile drops the selection silently and moves nothing.
  left_click(b, 8, 8);
  Cells before;
  memcpy(before, b->board, sizeof before);
  clear_sounds();
  left_click(b, 8, 10);
  EXPECT_EQ(queued_sounds(), Sounds{});
  EXPECT_TRUE(nothing_selected());
  EXPECT_EQ(memcmp(before, b->board, sizeof before), 0);
  EXPECT_EQ(b->moves, 0);
  left_click(b, 8, 10);
  EXPECT_EQ(queued_sounds(), (Sounds{4}));
  EXPECT_TRUE(selected(8, 10));

  // With the selection kept across a honk, a neighbour still swaps.
  b->Array(8, 11, CELL_EMPTY);
  clear_sounds();
  left_click(b, 8, 11);
  left_click(b, 9, 10);
  Sounds s = queued_sounds();
  ASSERT_GE(s.size(), 2u);
  EXPECT_EQ(s[0], 8);
  EXPECT_EQ(s[1], 5);
  EXPECT_EQ(b->moves, 1);
  EXPECT_TRUE(nothing_selected());
}

// Each of the eight neighbours swaps, diagonals included; every move breeds
// and rewrites the move box.
TEST_F(SelectSwap, EveryNeighbourSwapsAndCounts) {
  Varnel *b = board();
  const int dr[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
  const int dc[8] = {0, 1, 1, 1, 0, -1, -1, -1};
  for (int k = 0; k < 8; k++) {
    SCOPED_TRACE("neighbour " + std::to_string(k));
    fill_playing(b);
    // Two colours the pattern never uses, so the swap matches nothing.
    b->Array(10, 10, 9);
    b->Array(10 + dr[k], 10 + dc[k], 10);
    int dir_a = b->buttons[10][10]->direction;
    int dir_b = b->buttons[10 + dr[k]][10 + dc[k]]->direction;
    clear_sounds();
    left_click(b, 10, 10);
    left_click(b, 10 + dr[k], 10 + dc[k]);
    EXPECT_EQ(b->board[10][10], 10);
    EXPECT_EQ(b->board[10 + dr[k]][10 + dc[k]], 9);
    EXPECT_EQ(b->buttons[10][10]->direction, dir_b);
    EXPECT_EQ(b->buttons[10 + dr[k]][10 + dc[k]]->direction, dir_a);
    Sounds s = queued_sounds();
    ASSERT_GE(s.size(), 3u);
    EXPECT_EQ((Sounds{s[0], s[1]}), (Sounds{4, 5}));
    EXPECT_NE(std::find(s.begin(), s.end(), 0), s.end()) << "no breeding";
    for (int c = 0; c < BOARD_COLS; c++)
      EXPECT_NE(b->board[0][c], CELL_EMPTY);
    EXPECT_EQ(b->moves, k + 1);
    EXPECT_STREQ(b->moves_text, std::to_string(k + 1).c_str());
    EXPECT_EQ(b->moves_box->label(), b->moves_text);
    EXPECT_TRUE(nothing_selected());
  }
}

// A hint marks the one swap that clears, for a move, until the next move; in
// arrow mode the tile whose arrow points at the other comes first, and takes
// the keys' focus. With no such swap it says so, free.
TEST_F(SelectSwap, HintMarksTheSwapThatClears) {
  Varnel *b = board();
  VarnelButton::keys_in_use(true);
  // 2: arrow mode where no arrow points the right way, which nothing told.
  for (int arrows : {0, 1, 2}) {
    b->arrow_mode = arrows > 0;
    fill_playing(b);
    for (int c : {10, 11, 12})
      b->Array(10, c, 9);
    b->Array(9, 13, 9);
    b->Array(10, 13, 10);
    b->buttons[9][13]->direction = 2;
    b->buttons[10][13]->direction = arrows == 2 ? 4 : 0;
    b->moves = 0;
    hint_cb(nullptr, nullptr);
    int one = arrows == 1;
    VarnelButton *first = b->buttons[9 + one][13], *second = b->buttons[10 - one][13];
    EXPECT_TRUE(first->hinted && second->hinted && Fl::focus() == first) << arrows;
    // Both had the same mark; the first is told apart now, in arrow mode with
    // the direction to turn it to. Asked again, the hint cost a move again.
    EXPECT_TRUE(first->hint_first && !second->hint_first);
    EXPECT_EQ(first->hint_direction, arrows == 2 ? 4 : -1);
    hint_cb(nullptr, nullptr);
    EXPECT_STREQ(b->moves_box->label(), "1");
    left_click(b, first->row, 13);
    if (!arrows) left_click(b, second->row, 13);
    EXPECT_TRUE(b->moves == 2 && !first->hinted && !second->hinted);
  }
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++)
      b->Array(r, c, (r + c) % 4); // full, and every swap leaves runs of three at most
  hint_cb(nullptr, nullptr);
  EXPECT_TRUE(b->moves == 2 && strcmp(b->moves_box->label(), "No swap clears") == 0);
  // Undo shows the count again, and a hint's marks go with the board it leaves.
  undo_cb(nullptr, nullptr);
  EXPECT_STREQ(b->moves_box->label(), "2");
  hint_cb(nullptr, nullptr);
  undo_cb(nullptr, nullptr);
  EXPECT_FALSE(b->buttons[9][13]->hinted || b->buttons[10][13]->hinted);
  VarnelButton::keys_in_use(false);
}

// Undo goes back 200 moves at most: past them the oldest board is dropped.
TEST_F(SelectSwap, UndoGoesBackTwoHundredMovesAtMost) {
  Varnel *b = board();
  fill_without_matches(b);
  b->Array(10, 10, 9);
  b->Array(10, 11, 10);
  for (int k = 0; k <= UNDO_LIMIT; k++)
    swap_move(b, 10, 10);
  for (int k = 0; k <= UNDO_LIMIT; k++)
    undo_cb(nullptr, nullptr);
  // The board after the first move: the one before it went.
  EXPECT_TRUE(b->board[10][10] == 10 && b->board[10][11] == 9);
  EXPECT_EQ(b->moves, UNDO_LIMIT + 1);
}

// Crossing the board took up to 19 presses: Home and End go to the ends of
// the row, Page Up and Page Down to the ends of the column.
TEST_F(SelectSwap, HomeEndAndPageKeysTakeTheFocusAcross) {
  Varnel *b = board();
  const struct {
    int key, row, col;
  } keys[] = {{FL_Home, 7, 0}, {FL_End, 7, 19}, {FL_Page_Up, 0, 19}, {FL_Page_Down, 19, 19}};
  b->buttons[7][5]->take_focus();
  for (auto [key, row, col] : keys) {
    Fl::e_keysym = key;
    Fl::e_state = 0;
    Fl::focus()->handle(FL_KEYBOARD);
    EXPECT_EQ(Fl::focus(), b->buttons[row][col]) << key;
  }
  VarnelButton::keys_in_use(false);
}

TEST_F(SelectSwap, EqualColoursSwapAsAMove) {
  Varnel *b = board();
  b->Array(10, 10, 9);
  b->Array(10, 11, 9);
  left_click(b, 10, 10);
  left_click(b, 10, 11);
  EXPECT_EQ(b->board[10][10], 9);
  EXPECT_EQ(b->board[10][11], 9);
  Sounds s = queued_sounds();
  ASSERT_GE(s.size(), 3u);
  EXPECT_EQ(s[1], 5);
  EXPECT_EQ(s[2], 0);
  EXPECT_EQ(b->moves, 1);
  EXPECT_STREQ(b->moves_box->label(), "1");
}

TEST_F(SelectSwap, StupidLeavesADeadTileWhereTheFirstClickWas) {
  Varnel *b = board();
  main_window->difficulty = 3;
  b->Array(10, 10, 9);
  b->Array(10, 11, 10);
  left_click(b, 10, 10);
  left_click(b, 10, 11);
  EXPECT_EQ(b->board[10][10], CELL_DEAD);
  EXPECT_EQ(b->board[10][11], 9);
  EXPECT_EQ(b->buttons[10][10]->color(), FL_BLACK);

  // Clicked the other way round, the dead tile is in the other cell.
  fill_playing(b);
  b->Array(10, 10, 9);
  b->Array(10, 11, 10);
  left_click(b, 10, 11);
  left_click(b, 10, 10);
  EXPECT_EQ(b->board[10][11], CELL_DEAD);
  EXPECT_EQ(b->board[10][10], 10);
  EXPECT_EQ(b->moves, 2);
}

TEST_F(SelectSwap, NoDeadTileAfterAMatchOrBelowStupid) {
  Varnel *b = board();
  main_window->difficulty = 3;
  // (10,11) -> (10,12) completes a column of four 9s in column 12.
  for (int r = 11; r <= 13; r++)
    b->Array(r, 12, 9);
  b->Array(10, 11, 9);
  b->Array(10, 12, 11);
  left_click(b, 10, 11);
  left_click(b, 10, 12);
  Sounds s = queued_sounds();
  ASSERT_GE(s.size(), 3u);
  EXPECT_EQ(s[2], 1) << "the swap did not match";
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++)
      EXPECT_NE(b->board[r][c], CELL_DEAD) << r << "," << c;

  for (int level = 0; level < 3; level++) {
    main_window->difficulty = level;
    fill_playing(b);
    b->Array(10, 10, 9);
    b->Array(10, 11, 10);
    left_click(b, 10, 10);
    left_click(b, 10, 11);
    EXPECT_EQ(b->board[10][10], 10) << "level " << level;
    EXPECT_EQ(b->board[10][11], 9) << "level " << level;
  }
}

TEST_F(SelectSwap, ForeignWidgetIsNotATile) {
  Varnel *b = board();
  left_click(b, 4, 4);
  ASSERT_TRUE(pump_until([&] { return b->damage() == 0; }));
  clear_sounds();
  EXPECT_EQ(b->FindSelectedButton(b->result_button), 0);
  Fl_Button outsider(0, 0, 10, 10);
  EXPECT_EQ(b->FindSelectedButton(&outsider), 0);
  EXPECT_EQ(queued_sounds(), Sounds{});
  EXPECT_TRUE(selected(4, 4));
  EXPECT_NE(b->damage(), 0) << "the board was not redrawn";
}

// Real clicks through the X server: only the left button selects, and
// Space on the tile with the keyboard focus acts as one left click more.
TEST_F(SelectSwap, OnlyTheLeftButtonCounts) {
  Varnel *b = board();
  ASSERT_TRUE(pointer_to_tile(b, 6, 6));
  clear_sounds();
  ASSERT_TRUE(xdo("click 3 click 2"));
  ASSERT_TRUE(xdo("click 1"));
  ASSERT_TRUE(pump_until([] { return global_wave_cnt.load() > 0; }));
  // The right and middle clicks came first; only the left one was heard.
  EXPECT_EQ(queued_sounds(), (Sounds{4}));
  EXPECT_TRUE(selected(6, 6));

  // The click gave the tile the keyboard focus. The toolkit's button acts
  // on Space too: the press must cancel the selection once, not reselect.
  ASSERT_EQ(Fl::focus(), b->buttons[6][6]);
  clear_sounds();
  ASSERT_TRUE(xdo("key space"));
  ASSERT_TRUE(pump_until([] { return global_wave_cnt.load() > 0; }));
  EXPECT_EQ(queued_sounds(), (Sounds{6}));
  EXPECT_TRUE(nothing_selected());
}
