// The board and its tiles: cell colours and labels, Swap, the result button,
// and the hover outline under the real pointer.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "board_helpers.h"
#include "game_fixture.h"
// After the test framework: Xlib's macros clash with its names.
#include <FL/x.H>

namespace {

// Moves the real pointer to (x, y) in the board's own coordinates and, with
// click, presses and releases the left button there.
void pointer_to(Varnel *b, int x, int y, bool click = false) {
  std::string cmd = "xdotool mousemove --window " + std::to_string(fl_xid(b)) + " " +
                    std::to_string(x) + " " + std::to_string(y) + (click ? " click 1" : "");
  ASSERT_EQ(system(cmd.c_str()), 0) << cmd;
}

// Handles events until done() holds, or gives up after a few seconds.
template <typename Done> bool wait_until(Done done) {
  for (int i = 0; i < 500 && !done(); i++)
    Fl::wait(0.01);
  return done();
}

// The RGB values of a rectangle of the board's window, as 0xRRGGBB, row by
// row.
std::vector<unsigned long> pixels(Varnel *b, int x, int y, int w = 1, int h = 1) {
  Fl::flush();
  XSync(fl_display, False);
  std::vector<unsigned long> out;
  XImage *image = XGetImage(fl_display, fl_xid(b), x, y, w, h, AllPlanes, ZPixmap);
  for (int j = 0; image && j < h; j++)
    for (int i = 0; i < w; i++)
      out.push_back(XGetPixel(image, i, j) & 0xFFFFFF);
  if (image) XDestroyImage(image);
  return out;
}

unsigned long pixel(Varnel *b, int x, int y) {
  std::vector<unsigned long> p = pixels(b, x, y);
  return p.empty() ? ~0ul : p[0];
}

// Row 2 showing the twelve colours, an empty cell and a dead tile, in swap
// mode (0) or arrow mode (1): its pixels, 14 tiles wide.
std::vector<unsigned long> colour_row(Varnel *b, int mode, int tile = 40, int text = 11) {
  b->resize(b->x(), b->y(), BOARD_COLS * tile, BOARD_ROWS * tile);
  b->arrow_mode = mode;
  for (int c = 0; c < 14; c++) {
    b->buttons[2][c]->direction = c % 8;
    b->buttons[2][c]->labelsize(text);
    b->Array(2, c, c < 12 ? c : c == 12 ? CELL_EMPTY : CELL_DEAD);
  }
  b->redraw();
  return pixels(b, 0, 2 * tile, 14 * tile, tile);
}

using BoardModelTest = GameTest;

// WCAG's contrast of two colours 0xRRGGBB, from their relative luminance.
double luminance(unsigned long rgb) {
  double sum = 0, weight[3] = {0.0722, 0.7152, 0.2126}; // blue, green, red
  for (int k = 0; k < 3; k++) {
    double v = ((rgb >> (8 * k)) & 0xFF) / 255.0;
    sum += weight[k] * (v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
  }
  return sum;
}
double contrast(unsigned long a, unsigned long b) {
  return (std::max(luminance(a), luminance(b)) + 0.05) /
         (std::min(luminance(a), luminance(b)) + 0.05);
}

// The keyboard's focus was a 1-pixel white band, lost in the light bevel,
// and a black one, lost on dark tiles; arrows were white on light colours.
// On each of the twelve at 96 dpi: a focus mark of 2 or 3 pixels over the
// tile's edge, before the pointer's outline 5 in, and the arrow, at least
// 3:1 against the face; Medium's colours keep white arrows.
TEST_F(BoardModelTest, FocusAndArrowsStandOutOnEveryColour) {
  const unsigned long faces[12] = {0x640000, 0x643296, 0x006400, 0x000064, 0x968764, 0x328764,
                                   0xC88764, 0x00C800, 0xFFC8C8, 0x8CC8FA, 0x8CC88C, 0xF0780A};
  Varnel *b = board();
  b->arrow_mode = 1;
  ASSERT_TRUE(wait_until([&] { return b->visible_r() && fl_xid(b); }));
  VarnelButton::keys_in_use(true);
  for (int c = 0; c < 12; c++) {
    b->buttons[2][c]->direction = 4; // down: the arrow covers the tile's middle
    b->Array(2, c, c);
    b->buttons[2][c]->take_focus();
    std::vector<unsigned long> edge;
    wait_until([&] { return (edge = pixels(b, c * 40, 2 * 40 + 20, 8))[7] == faces[c]; });
    unsigned long arrow = pixel(b, c * 40 + 20, 2 * 40 + 20);
    int width = 0;
    while (width < 8 && contrast(edge[width], faces[c]) >= 3 && edge[width] == edge[0])
      width++;
    EXPECT_TRUE(width >= 2 && width <= 3 && edge[4] == faces[c] && edge[7] == faces[c]) << c;
    EXPECT_GE(contrast(arrow, faces[c]), 3) << c;
    EXPECT_TRUE(c >= 6 || arrow == 0xFFFFFF) << c; // Medium's six colours
  }
  VarnelButton::keys_in_use(false);
}

TEST_F(BoardModelTest, ResultButtonIsHiddenOverTheMiddleOfTheBoard) {
  Varnel *b = board();
  // The result button: last child, so it is drawn over the tiles it covers.
  Fl_Button *result = b->result_button;
  EXPECT_EQ(b->child(400), result);
  EXPECT_EQ(result->x(), 350);
  EXPECT_EQ(result->y(), 375);
  EXPECT_EQ(result->w(), 100);
  EXPECT_EQ(result->h(), 50);
  EXPECT_FALSE(result->visible());
  EXPECT_EQ(label_of(result), "You Lose");
  EXPECT_EQ(result->color(), FL_RED);
  EXPECT_EQ(result->labelcolor(), FL_WHITE);
  EXPECT_TRUE(result->callback() == reset_cb && result->user_data() == b);
}

TEST_F(BoardModelTest, ArraySetsColourAndLabelOfTheCell) {
  const struct {
    int value;
    unsigned colour;
  } colours[] = {{0, 0x64000000},  {1, 0x64329600}, {2, 0x00640000},  {3, 0x00006400},
                 {4, 0x96876400},  {5, 0x32876400}, {6, 0xC8876400},  {7, 0x00C80000},
                 {8, 0xFFC8C800},  {9, 0x8CC8FA00}, {10, 0x8CC88C00}, {11, 0xF0780A00},
                 {-1, 0xFFFFFF00}, {100, FL_BLACK}, {12, FL_BLACK},   {99, FL_BLACK}};
  const int keypad[8] = {8, 9, 6, 3, 2, 1, 4, 7}; // up, clockwise
  Varnel *b = board();
  VarnelButton *t = b->buttons[7][3];
  for (int mode : {0, 1}) {
    b->arrow_mode = mode;
    for (auto [value, colour] : colours) {
      SCOPED_TRACE("mode " + std::to_string(mode) + " value " + std::to_string(value));
      for (int d = 0; d < 8; d++) {
        t->direction = d;
        b->Array(7, 3, value);
        EXPECT_EQ(b->board[7][3], value);
        EXPECT_EQ(t->color(), colour);
        bool arrow = mode == 1 && value >= 0 && value <= 99;
        EXPECT_EQ(label_of(t), arrow ? "@" + std::to_string(keypad[d]) + ">" : "");
        EXPECT_EQ(((Fl_Widget *)t)->label(), t->label_text); // the tile's own buffer
      }
    }
  }
}

TEST_F(BoardModelTest, SwapExchangesValuesColoursArrowsAndDirections) {
  Varnel *b = board();
  b->arrow_mode = 1;
  VarnelButton *a = b->buttons[5][5], *e = b->buttons[6][6];
  a->direction = 2;
  e->direction = 5;
  b->Array(5, 5, 3);
  b->Array(6, 6, CELL_EMPTY);
  b->Swap(5, 5, 6, 6);
  // The colour and its arrow moved to the empty cell; the cell left behind
  // is white, unlabelled, and has the other direction.
  EXPECT_EQ(b->board[6][6], 3);
  EXPECT_EQ(e->color(), 0x00006400u);
  EXPECT_EQ(e->direction, 2);
  EXPECT_EQ(label_of(e), arrow_label(2));
  EXPECT_EQ(b->board[5][5], CELL_EMPTY);
  EXPECT_EQ(a->color(), 0xFFFFFF00u);
  EXPECT_EQ(a->direction, 5);
  EXPECT_EQ(label_of(a), "");
  // Two colours, each with its arrow, in either order of the arguments.
  b->Array(5, 5, 8);
  b->Swap(6, 6, 5, 5);
  EXPECT_TRUE(b->board[5][5] == 3 && b->board[6][6] == 8);
  EXPECT_TRUE(a->direction == 2 && e->direction == 5);
  EXPECT_EQ(label_of(a), arrow_label(2));
  EXPECT_EQ(label_of(e), arrow_label(5));
  EXPECT_EQ(e->color(), 0xFFC8C800u);
  // A cell swapped with itself stays as it was.
  b->Swap(5, 5, 5, 5);
  EXPECT_EQ(b->board[5][5], 3);
  EXPECT_EQ(a->direction, 2);
  EXPECT_EQ(a->color(), 0x00006400u);
  EXPECT_EQ(label_of(a), arrow_label(2));
}

TEST_F(BoardModelTest, PointerOverATileDrawsTheHoverOutline) {
  Varnel *b = board();
  fill_without_matches(b);
  b->Array(4, 7, CELL_DEAD);
  b->redraw();
  ASSERT_TRUE(wait_until([&] { return b->visible_r() && fl_xid(b); }));
  VarnelButton *coloured = b->buttons[2][3], *dead = b->buttons[4][7];
  // The outline's left edge, 5 pixels in, is white only while hovered.
  pointer_to(b, 3 * 40 + 20, 2 * 40 + 20);
  ASSERT_TRUE(wait_until([&] { return coloured->hover == 1; }));
  EXPECT_EQ(pixel(b, 3 * 40 + 5, 2 * 40 + 20), 0xFFFFFFul);
  EXPECT_NE(pixel(b, 3 * 40 + 20, 2 * 40 + 20), 0xFFFFFFul);
  // Over a dead tile: the first tile loses the outline, the dead one gets it.
  pointer_to(b, 7 * 40 + 20, 4 * 40 + 20);
  ASSERT_TRUE(wait_until([&] { return dead->hover == 1; }));
  EXPECT_EQ(coloured->hover, 0);
  EXPECT_EQ(pixel(b, 7 * 40 + 5, 4 * 40 + 20), 0xFFFFFFul);
  EXPECT_NE(pixel(b, 3 * 40 + 5, 2 * 40 + 20), 0xFFFFFFul);
  // The selection outline, 10 pixels in, shows together with the hover one.
  b->selected_button = dead;
  b->redraw();
  Fl::check();
  EXPECT_EQ(pixel(b, 7 * 40 + 10, 4 * 40 + 20), 0xFFFFFFul);
  EXPECT_EQ(pixel(b, 7 * 40 + 5, 4 * 40 + 20), 0xFFFFFFul);
  EXPECT_EQ(pixel(b, 7 * 40 + 20, 4 * 40 + 20), 0x000000ul);
  // Off the board, into the menu bar: no tile is hovered.
  pointer_to(b, 20, -15);
  ASSERT_TRUE(wait_until([&] { return dead->hover == 0; }));
  // For the keyboard the selection is wider than the pointer's outline, and
  // the focus mark as wide as the tiles are scaled (64 pixels): 3 units of 2,
  // white on the black tile, from its very edge.
  VarnelButton::keys_in_use(true);
  b->redraw();
  EXPECT_EQ(pixel(b, 7 * 40 + 11, 4 * 40 + 20), 0xFFFFFFul);
  main_window->resize(0, 0, 1280, 1330);
  dead->take_focus();
  std::vector<unsigned long> marked = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0, 0};
  EXPECT_TRUE(wait_until([&] { return pixels(b, 7 * 64 + 1, 4 * 64 + 30, 7) == marked; }));
  VarnelButton::keys_in_use(false);
}

TEST_F(BoardModelTest, ShownResultButtonTakesTheClicksOverTheTilesItCovers) {
  Varnel *b = board();
  fill_without_matches(b);
  // Hidden: a click at (420, 420) selects the tile of row 10, column 10.
  pointer_to(b, 420, 420, true);
  ASSERT_TRUE(wait_until([&] { return b->sel_row != -1; }));
  EXPECT_TRUE(b->sel_row == 10 && b->sel_col == 10);
  EXPECT_EQ(queued_sounds(), std::vector<int>{SOUND_THUMP});
  // Shown after a loss: Space, the focus still on the clicked tile under
  // the button, then the same click start new games. Space used to act on
  // the covered tile.
  for (const char *key : {"space", ""}) {
    SCOPED_TRACE(key);
    global_win = -1;
    b->result_button->label("You Lose.");
    b->result_button->show();
    b->Array(5, 5, CELL_DEAD);
    if (*key)
      ASSERT_EQ(system((std::string("xdotool key ") + key).c_str()), 0);
    else
      pointer_to(b, 420, 420, true);
    ASSERT_TRUE(wait_until([&] { return !b->result_button->visible(); }));
    EXPECT_EQ(global_win, 0);
    EXPECT_EQ(b->sel_row, -1);
    EXPECT_EQ(b->board[0][0], CELL_EMPTY); // a fresh deal
  }
}

// Symbols off: the tiles look exactly as the game has always drawn them.
// On: each colour carries a glyph of its own (the pixels that change differ
// from tile to tile), empty and dead cells none; the game goes on.
TEST_F(BoardModelTest, SymbolsTellTheTwelveColoursApartAndOffChangeNoPixel) {
  Varnel *b = board();
  fill_without_matches(b);
  pointer_to(b, 790, 790); // hovering a tile far from row 2
  ASSERT_TRUE(wait_until([&] { return b->buttons[19][19]->hover == 1; }));
  std::vector<unsigned long> off[2] = {colour_row(b, 0), colour_row(b, 1)};
  unsigned long long hash = 14695981039346656037ull; // FNV-1a of both pictures
  for (int mode : {0, 1})
    for (unsigned long p : off[mode])
      for (int k = 0; k < 3; k++)
        hash = (hash ^ ((p >> (8 * k)) & 0xFF)) * 1099511628211ull;
  // The tiles as the game draws them at 40 pixels (the arrows dark on the
  // light colours of the harder levels).
  EXPECT_EQ(hash, 0x427c8332880251daull);
  Shot cells(b->board);
  symbols_cb(nullptr, nullptr);
  EXPECT_TRUE(Shot(b->board) == cells);
  // Tile, text, mode, glyphs: none where some look alike; nothing on a bevel
  // (disc = ring on 12 and 20, four pairs on 16, arrows spilt at 32 / 22).
  const int rows[][4] = {{40, 11, 0, 1}, {40, 11, 1, 1}, {12, 11, 0, 0},
                         {20, 11, 1, 0}, {16, 11, 1, 0}, {32, 22, 1, 1}};
  for (auto [t, text, mode, shown] : rows) {
    std::vector<unsigned long> on = colour_row(b, mode, t, text);
    symbols_cb(nullptr, nullptr);
    std::vector<unsigned long> plain = colour_row(b, mode, t, text);
    symbols_cb(nullptr, nullptr);
    std::vector<std::vector<bool>> glyphs(14);
    int covered = 0;
    for (int i = 0, x = 0, y = 0; i < (int)on.size(); i++, x = i % t, y = i / (14 * t)) {
      glyphs[i % (14 * t) / t].push_back(on[i] != plain[i]);
      if (std::min({x, y, t - 1 - x, t - 1 - y}) < Fl::box_dx(FL_UP_BOX))
        covered += on[i] != plain[i] || plain[i] != plain[y * 14 * t + 12 * t + x];
    }
    EXPECT_EQ(covered, 0) << t;
    for (int c = 0; c < 14; c++) {
      SCOPED_TRACE(testing::Message() << t << " pixels, mode " << mode << ", tile " << c);
      EXPECT_EQ(std::count(glyphs[c].begin(), glyphs[c].end(), true) > 0, c < 12 && shown);
      for (int d = 0; d < c && c < 12 && shown; d++)
        EXPECT_NE(glyphs[c], glyphs[d]) << "like tile " << d;
    }
  }
}

} // namespace
