// The built game, started and played as a player would: real X input, the
// screen read from outside, the sounds captured from a real ALSA device.
// gtest first: the X headers define names that it uses.
#include <gtest/gtest.h>

#include "game_driver.h"
#include "game_record.h"
#include "rules.h"

#include <FL/Enumerations.H>
#include <csignal>
#include <fstream>
#include <map>
#include <set>
#include <sys/resource.h>
#include <sys/wait.h>

namespace {

// The tile colours as a player sees them, in the order the levels use them.
const unsigned colours[12] = {0x640000, 0x643296, 0x006400, 0x000064, 0x968764, 0x328764,
                              0xC88764, 0x00C800, 0xFFC8C8, 0x8CC8FA, 0x8CC88C, 0xF0780A};
const unsigned WHITE = 0xFFFFFF, PINK = 0xFFC8DC;
const int UNKNOWN = -2;

// -1 for an empty (white) tile, the colour's number, or UNKNOWN.
int colour_number(unsigned rgb) {
  if (rgb == WHITE) return CELL_EMPTY;
  for (int i = 0; i < 12; i++)
    if (colours[i] == rgb) return i;
  return UNKNOWN;
}

void read_board(const Image &shot, Cells cells) {
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++)
      cells[r][c] = colour_number(Game::tile(shot, r, c));
}

// A board at rest: every tile known, nothing left to fall, no match shown.
bool at_rest(const Image &shot) {
  if (shot.w == 0) return false;
  Cells cells, marked;
  read_board(shot, cells);
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++) {
      if (cells[r][c] == UNKNOWN) return false;
      if (r < BOARD_ROWS - 1 && cells[r][c] >= 0 && cells[r + 1][c] == CELL_EMPTY) return false;
    }
  return mark_matches(cells, marked) == 0;
}

Image settled(Game &game) {
  Image shot;
  wait_for([&] { return at_rest(shot = game.screen()); });
  return shot;
}

// The pixel where the outline of the selection runs through a tile.
unsigned selection_mark(Game &game, int row, int col) {
  return capture(game.window, col * 40 + 10, 30 + row * 40 + 20, 1, 1).at(0, 0);
}

// Two neighbours of the bottom row with different colours whose swap matches
// nothing, in columns filled from row 10 down: what falls later lands far
// above them.
bool choose_swap(const Image &shot, int &row, int &col) {
  Cells cells, marked;
  read_board(shot, cells);
  row = BOARD_ROWS - 1;
  for (col = 1; col + 2 < BOARD_COLS; col++) {
    bool full = true;
    for (int c = col - 1; c <= col + 2; c++)
      for (int r = 10; r < BOARD_ROWS; r++)
        full = full && cells[r][c] >= 0;
    if (!full || cells[row][col] == cells[row][col + 1]) continue;
    std::swap(cells[row][col], cells[row][col + 1]);
    bool quiet = mark_matches(cells, marked) == 0;
    std::swap(cells[row][col], cells[row][col + 1]);
    if (quiet) return true;
  }
  return false;
}

// Swaps two neighbours of the bottom row with two clicks; returns the board
// at rest afterwards.
Image make_a_swap(Game &game, int &row, int &col, Image &before) {
  before = settled(game);
  EXPECT_TRUE(choose_swap(before, row, col));
  game.click_tile(row, col);
  EXPECT_TRUE(wait_for([&] { return selection_mark(game, row, col) == WHITE; }));
  game.click_tile(row, col + 1);
  EXPECT_TRUE(wait_for([&] { return game.moves_read("1"); }));
  return settled(game);
}

// The game ends with status 0 within the given number of looks at it.
testing::AssertionResult ends_cleanly(Game &game, int polls = 3000) {
  int status = -1;
  if (!game.wait_exit(status, polls)) return testing::AssertionFailure() << "still running";
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "wait status " << status;
}

// Ends a game with Game → Quit: status 0, and nothing on standard error.
void quit(Game &game) {
  EXPECT_TRUE(game.quit());
  EXPECT_EQ(game.error_output(), "");
}

TEST(Window, TitleSizeLayoutAndTheFirstGame) {
  Game game;
  ASSERT_NE(game.window, 0u);
  // The first game's deal number is the clock's second, its seed as ever.
  const std::string dealt = "Varnel — deal ";
  EXPECT_TRUE(wait_for([&] { return window_name(game.window).rfind(dealt, 0) == 0; }));
  long deal = atol(window_name(game.window).substr(dealt.size()).c_str());
  EXPECT_NEAR(deal, (long)time(nullptr), 60) << window_name(game.window);
  int x, y, w, h;
  ASSERT_TRUE(window_geometry(game.window, x, y, w, h));
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 830);
  std::vector<Window> board = child_windows(game.window);
  ASSERT_EQ(board.size(), 1u);
  ASSERT_TRUE(window_geometry(board[0], x, y, w, h));
  EXPECT_EQ(std::vector<int>({x, y, w, h}), std::vector<int>({0, 30, 800, 800}));
  // The first deal's matches are heard without any input: the player,
  // started after the first paint, must not wait for an event.
  EXPECT_TRUE(wait_for([&] { return game.heard_in_order({BLOP}); }));

  game.move(400, 15); // on the menu bar, over no tile
  Image shot = settled(game);
  // The difficulty box at (590, 2) and the move box at (700, 2), 100 × 26,
  // with the menu bar on their left and a gap between them.
  EXPECT_EQ(shot.crop(590, 2, 100, 26), render_box("Medium"));
  EXPECT_TRUE(game.moves_read(""));
  for (int bx : {590, 700}) {
    EXPECT_EQ(shot.at(bx + 5, 6), PINK);
    EXPECT_EQ(shot.at(bx + 94, 23), PINK);
    EXPECT_NE(shot.at(bx + 50, 1), PINK);
    EXPECT_NE(shot.at(bx + 50, 28), PINK);
  }
  unsigned bar = shot.at(300, 15);
  for (int y = 0; y < 30; y++) {
    EXPECT_NE(shot.at(589, y), PINK);
    EXPECT_NE(shot.at(695, y), PINK);
  }
  EXPECT_EQ(shot.at(5, 5), bar);
  EXPECT_EQ(shot.at(585, 25), bar);

  // Tiles of 40 × 40 from (0, 30): the face fills each cell; white or one
  // of Medium's five colours, and the top row white.
  std::set<int> seen;
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++) {
      SCOPED_TRACE(testing::Message() << "tile " << r << "," << c);
      unsigned face = Game::tile(shot, r, c);
      int left = c * 40, top = 30 + r * 40;
      EXPECT_EQ(shot.at(left + 3, top + 3), face);
      EXPECT_EQ(shot.at(left + 36, top + 36), face);
      int n = colour_number(face);
      EXPECT_TRUE(n == CELL_EMPTY || (n >= 0 && n < 5)) << std::hex << face;
      if (r == 0) {
        EXPECT_EQ(face, WHITE);
      }
      seen.insert(n);
    }
  EXPECT_EQ(seen.size(), 6u); // five colours and white
  quit(game);
}

// The desktop ties the window to the desktop entry by its class and shows
// the icon it carries: the game's own, in the colours of its tiles.
TEST(Window, ClassAndIconForTheDesktop) {
  Game game;
  ASSERT_NE(game.window, 0u);
  EXPECT_EQ(window_class(game.window), "varnel,Varnel");
  std::vector<Image> icons = window_icons(game.window);
  ASSERT_FALSE(icons.empty());
  std::set<int> shown;
  for (const Image &icon : icons) {
    EXPECT_EQ(icon.w, icon.h);
    EXPECT_GE(icon.w, 32);
    for (unsigned argb : icon.px)
      if (argb >> 24 == 0xFF && colour_number(argb & 0xFFFFFF) >= 0)
        shown.insert(colour_number(argb & 0xFFFFFF));
  }
  EXPECT_GE(shown.size(), 4u);
  quit(game);
}

// F1 shows the rules once, however often pressed, and the game goes on
// behind; the window manager's close of the game's window still ends it.
TEST(Window, HowToPlayOpensOnceBesideTheGame) {
  Game game;
  ASSERT_NE(game.window, 0u);
  int row, col;
  ASSERT_TRUE(choose_swap(settled(game), row, col));
  game.click_tile(row, col, 3); // the keyboard's focus
  shell("xdotool key F1 F1");
  game.click_tile(row, col); // handled after both keys
  EXPECT_TRUE(wait_for([&] { return selection_mark(game, row, col) == WHITE; }));
  std::vector<Window> help = game.other_windows();
  ASSERT_EQ(help.size(), 1u);
  EXPECT_EQ(window_name(help[0]), "How to Play — Varnel");
  send_delete_window(game.window);
  ASSERT_TRUE(ends_cleanly(game, 500));
}

// Under a window manager, which gives the focus as a desktop does: F10 and
// Alt+D open menus from a tile with the focus, Right goes to the next menu,
// Down and Return pick; F11 fills the screen, the board square and centred.
TEST(Window, MenusFromTheKeyboardAndFullscreen) {
  Game game;
  ASSERT_NE(game.window, 0u);
  std::string id = std::to_string(game.window);
  struct Stop {
    pid_t pid;
    ~Stop() { kill(pid, SIGTERM); }
  } openbox{
      std::stoi(shell("HOME=" + game.dir + " openbox --sm-disable >/dev/null 2>&1 & echo $!"))};
  ASSERT_TRUE(wait_for([&] {
    return shell("xdotool windowactivate " + id + " 2>/dev/null; xdotool getwindowfocus") == id;
  }));
  game.click_tile(19, 0, 3);
  auto keys = [&](const char *open, const char *then, const char *level) {
    shell(std::string("xdotool key ") + open);
    EXPECT_TRUE(wait_for([&] { return game.menu_open(); }, 500)) << open;
    shell(std::string("xdotool key ") + then);
    EXPECT_TRUE(
        wait_for([&] { return capture(game.window, 590, 2, 100, 26) == render_box(level); }));
  };
  keys("F10", "Right Down Down Down Return", "Hard");
  keys("alt+d", "Down Return", "Easy");
  // Made taller than the screen: the window stops at the work area, the
  // menu row keeps its height (it grew with the window, its text spilling).
  int x, y, w, h;
  shell("xdotool windowsize " + id + " 800 1600");
  EXPECT_TRUE(wait_for([&] { return window_geometry(game.window, x, y, w, h) && h > 830; }));
  EXPECT_LT(h, 1024);
  EXPECT_TRUE(
      wait_for([&] { return capture(game.window, 590, 2, 100, 26) == render_box("Easy"); }));
  shell("xdotool key F11");
  Window board = child_windows(game.window)[0];
  EXPECT_TRUE(wait_for([&] { return window_geometry(board, x, y, w, h) && w == 980; }));
  // The row of 30; 20 whole tiles of 49 centred in 1280 x 994.
  EXPECT_EQ(std::vector<int>({x, y, w, h}), std::vector<int>({150, 30 + 7, 980, 980}));
  // F1 and the rules come in front of the fullscreen board with the focus,
  // also when already open behind it: Escape reaches them.
  std::string help;
  for (int open : {0, 1}) {
    if (open) shell("xdotool windowactivate --sync " + id);
    shell("xdotool key F1");
    EXPECT_TRUE(wait_for([&] {
      help = shell("xdotool search --name '^How to Play'");
      return !help.empty() && shell("xdotool getwindowfocus") == help;
    })) << open;
  }
  shell("xdotool key Escape");
  EXPECT_TRUE(wait_for([&] { return !viewable(std::stoul(help)); }));
  quit(game);
}

TEST(Levels, FromTheCommandLine) {
  struct Case {
    std::vector<std::string> args;
    const char *name;
    int colours;
  };
  // "abc" is no level at all: program_exit_test's table of arguments has it.
  const Case cases[] = {{{}, "Medium", 5},     {{"0"}, "Easy", 4},       {{"7"}, "Stupid", 12},
                        {{"-5"}, "Easy", 4},   {{"2"}, "Hard", 8},       {{"2x"}, "Hard", 8},
                        {{"3"}, "Stupid", 12}, {{"1", "3"}, "Medium", 5}};
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.name << " from \"" << (c.args.empty() ? "" : c.args[0]) << "\"");
    Game game(c.args);
    ASSERT_NE(game.window, 0u);
    Image shot = settled(game);
    EXPECT_EQ(shot.crop(590, 2, 100, 26), render_box(c.name));
    std::set<int> seen;
    for (int r = 0; r < BOARD_ROWS; r++)
      for (int col = 0; col < BOARD_COLS; col++)
        seen.insert(colour_number(Game::tile(shot, r, col)));
    EXPECT_EQ(*seen.begin(), CELL_EMPTY);
    EXPECT_EQ(*seen.rbegin(), c.colours - 1); // 400 tiles show every colour
    quit(game);
  }
}

// The level and mode last picked start the next game; a level argument
// wins, in swap mode.
TEST(Levels, TheLastPickedLevelAndModeUnlessAnArgumentIsGiven) {
  for (bool argument : {false, true}) {
    Game game(std::vector<std::string>(argument, "0"), nullptr, Audio::FILE_DEVICE, false,
              "level=2\narrows=on\n");
    ASSERT_NE(game.window, 0u);
    Image shot = settled(game);
    EXPECT_EQ(shot.crop(590, 2, 100, 26), render_box(argument ? "Easy" : "Hard"));
    // An arrow on a bottom tile: white, or black on a light colour.
    std::vector<unsigned> tile = Game::inside(shot, 19, 0).px;
    EXPECT_EQ(
        std::count(tile.begin(), tile.end(), WHITE) + std::count(tile.begin(), tile.end(), 0u) > 0,
        !argument);
    quit(game);
  }
}

TEST(Play, TwoClicksSwapNeighboursAndMakeAMove) {
  Game game;
  ASSERT_NE(game.window, 0u);
  int row, col;
  Image before;
  Image after = make_a_swap(game, row, col, before);
  EXPECT_EQ(Game::tile(after, row, col), Game::tile(before, row, col + 1));
  EXPECT_EQ(Game::tile(after, row, col + 1), Game::tile(before, row, col));
  EXPECT_NE(selection_mark(game, row, col), WHITE);
  // New tiles were bred into the top row.
  int bred = 0;
  for (int c = 0; c < BOARD_COLS; c++)
    bred += Game::tile(after, 0, c) != WHITE;
  EXPECT_GT(bred, 0);
  EXPECT_TRUE(wait_for([&] { return game.heard_in_order({THUMP, PAN, POP}); }));
  quit(game);
}

bool same_board(const Image &a, const Image &b) {
  Cells first, second;
  read_board(a, first);
  read_board(b, second);
  return std::equal(&first[0][0], &first[0][0] + BOARD_ROWS * BOARD_COLS, &second[0][0]);
}

// Quit lost the game: the next start dealt anew. Now it goes on as it was,
// and Ctrl+Z takes the move back, the counter left as it stands.
TEST(Play, TheGameIsKeptAcrossAQuitAndUndoTakesAMoveBack) {
  Game game;
  ASSERT_NE(game.window, 0u);
  int row, col;
  Image before;
  Image after = make_a_swap(game, row, col, before);
  quit(game);
  Game again({}, nullptr, Audio::FILE_DEVICE, false, nullptr, &game);
  ASSERT_NE(again.window, 0u);
  EXPECT_TRUE(wait_for([&] { return again.moves_read("1"); }));
  EXPECT_TRUE(same_board(again.screen(), after));
  again.move(400, 15);
  shell("xdotool key ctrl+z");
  EXPECT_TRUE(wait_for([&] { return same_board(again.screen(), before); }));
  EXPECT_TRUE(again.moves_read("1"));
  quit(again);
}

// The keyboard's focus mark: three pixels of black or white over the
// tile's left edge, where the bevel is otherwise.
bool focus_marked(Game &game, int row, int col) {
  Image edge = capture(game.window, col * 40, 30 + row * 40 + 20, 3, 1);
  return edge.w == 3 &&
         (edge.px == std::vector<unsigned>(3, WHITE) || edge.px == std::vector<unsigned>(3, 0));
}

// Space and Return on the tile with the keyboard focus act as left clicks.
TEST(Play, KeysMoveTheFocusSelectAndSwap) {
  Game game;
  ASSERT_NE(game.window, 0u);
  int row, col;
  ASSERT_TRUE(choose_swap(settled(game), row, col));
  game.click_tile(row, col - 1, 3); // a right click gives the focus, no more
  shell("xdotool key Right");
  EXPECT_TRUE(wait_for([&] { return focus_marked(game, row, col); }));
  shell("xdotool key space Right Return");
  EXPECT_TRUE(wait_for([&] { return game.moves_read("1"); }));
  game.click_tile(row, col + 1, 3); // the mouse again: the toolkit's focus box
  EXPECT_TRUE(wait_for([&] { return !focus_marked(game, row, col + 1); }));
  quit(game);
}

TEST(Play, CancelledSelectionAndEmptyCellChangeNothing) {
  Game game;
  ASSERT_NE(game.window, 0u);
  Image start = settled(game);
  int row, col;
  ASSERT_TRUE(choose_swap(start, row, col));
  game.click_tile(row, col);
  EXPECT_TRUE(wait_for([&] { return selection_mark(game, row, col) == WHITE; }));
  game.click_tile(row, col); // again: the selection is cancelled
  EXPECT_TRUE(wait_for([&] { return selection_mark(game, row, col) != WHITE; }));
  EXPECT_TRUE(wait_for([&] { return game.heard_in_order({THUMP, DING}); }));

  // Over an empty cell of the top row (white on white: no outline to see).
  game.move_to_tile(0, 7);
  Image before;
  EXPECT_TRUE(wait_for([&] {
    before = game.screen();
    return before.at(col * 40 + 5, 30 + row * 40 + 20) != WHITE; // outline gone
  }));
  game.click_tile(0, 7);
  EXPECT_TRUE(wait_for([&] { return game.heard_in_order({THUMP, DING, HONK}); }));
  Image after = game.screen();
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++)
      EXPECT_EQ(Game::inside(after, r, c), Game::inside(before, r, c)) << r << "," << c;
  EXPECT_TRUE(game.moves_read(""));
  EXPECT_EQ(Game::tile(before, row, col), Game::tile(start, row, col));
  quit(game);
}

// A deal of its own, in arrow mode as the settings say: on a random deal a
// few moves can fill every column to the top, and the fourth turn lose.
TEST(ArrowMode, ArrowsShownAndTheWheelTurnsThemAtACostOfAMove) {
  Game game({"--deal", "1"}, nullptr, Audio::FILE_DEVICE, false, "arrows=on\n");
  ASSERT_NE(game.window, 0u);
  std::map<std::pair<unsigned, int>, Image> arrows;
  auto arrow = [&](unsigned colour, int direction) {
    auto key = std::make_pair(colour, direction);
    if (!arrows.count(key)) arrows[key] = render_arrow_tile(colour, direction).crop(6, 6, 28, 28);
    return arrows[key];
  };
  // The direction of the arrow a tile shows, or -1.
  auto direction = [&](const Image &shot, int r, int c) {
    Image tile = Game::inside(shot, r, c);
    for (int d = 0; d < 8; d++)
      if (tile == arrow(Game::tile(shot, r, c), d)) return d;
    return -1;
  };
  // Every coloured tile shows one of the eight arrows, every white one none.
  Image shot;
  std::set<int> directions;
  EXPECT_TRUE(wait_for(
      [&] {
        shot = game.screen();
        if (!at_rest(shot)) return false;
        directions.clear();
        for (int r = 0; r < BOARD_ROWS; r++)
          for (int c = 0; c < BOARD_COLS; c++) {
            int d = Game::tile(shot, r, c) == WHITE ? 8 : direction(shot, r, c);
            if (d < 0) return false;
            directions.insert(d);
          }
        return true;
      },
      500));
  EXPECT_GT(directions.size(), 4u); // drawn at random for each tile
  for (int r = 0; r < BOARD_ROWS; r++)
    EXPECT_EQ(Game::tile(shot, 0, r), WHITE);

  // Wheel up turns the arrow under the pointer clockwise, down turns it back;
  // each turn is a move.
  int row, col;
  ASSERT_TRUE(choose_swap(shot, row, col));
  int d = direction(shot, row, col);
  auto turned = [&](const char *moves, int to) {
    return wait_for([&] {
      Image now = game.screen();
      return at_rest(now) && game.moves_read(moves) && direction(now, row, col) == to;
    });
  };
  game.move_to_tile(row, col);
  EXPECT_TRUE(wait_for([&] { return direction(game.screen(), row, col) == d; }));
  game.click_tile(row, col, 4);
  EXPECT_TRUE(turned("1", (d + 1) % 8));
  game.click_tile(row, col, 5);
  EXPECT_TRUE(turned("2", d));
  EXPECT_TRUE(wait_for([&] { return game.heard_in_order({POP, POP}); }));

  // + and - turn the arrow of the focused tile, not of the one under the pointer.
  game.click_tile(row, col, 3);
  game.move_to_tile(row - 1, col);
  shell("xdotool key plus");
  EXPECT_TRUE(turned("3", (d + 1) % 8));
  shell("xdotool key KP_Subtract");
  EXPECT_TRUE(turned("4", d));

  // Toggled off: a new game without arrows.
  game.menu("Difficulty", 5);
  EXPECT_TRUE(wait_for([&] {
    Image plain = game.screen();
    if (!at_rest(plain) || Game::tile(plain, 0, 0) != WHITE) return false;
    for (int r = 1; r < BOARD_ROWS; r++)
      for (int c = 0; c < BOARD_COLS; c++)
        if (plain.at(c * 40 + 20, 30 + r * 40 + 20) != plain.at(c * 40 + 8, 30 + r * 40 + 8) ||
            direction(plain, r, c) >= 0)
          return false;
    return true;
  }));
  quit(game);
}

// The name dialog: the game's window that is neither the main window nor
// the top-scores window.
Window name_dialog(Game &game) {
  Window dialog = 0;
  wait_for([&] {
    for (Window w : game.other_windows())
      if (window_name(w) != "Top Scores") dialog = w;
    return dialog != 0;
  });
  return dialog;
}

TEST(Win, NameDialogScoreLineAndTopScoresWindow) {
  const char *kept = "0:2:first\n1:3:tie\n7:-1:arrow player\n";
  Game game({}, kept);
  ASSERT_NE(game.window, 0u);
  int row, col;
  Image before;
  make_a_swap(game, row, col, before);
  game.menu("Game", 3); // Win

  Window dialog = name_dialog(game);
  ASSERT_NE(dialog, 0u);
  EXPECT_EQ(window_class(dialog), "varnel,Varnel");
  EXPECT_EQ(window_name(dialog), "Varnel");
  EXPECT_TRUE(wait_for([&] { return game.heard_in_order({THUMP, PAN, POP, FANFARE}); }));
  EXPECT_EQ(game.scores(), kept);

  game.move(200, 60, dialog);
  shell("xdotool type --delay 20 'Zed Q'");
  shell("xdotool key Return");
  Window scores = 0;
  EXPECT_TRUE(wait_for([&] { return (scores = game.find_window("Top Scores")) != 0; }));
  EXPECT_FALSE(viewable(dialog));
  EXPECT_EQ(window_class(scores), "varnel,Varnel");
  // One move at Medium: after the entries of fewer moves, before the others.
  EXPECT_EQ(game.scores(), "0:2:first\n1:1:Zed Q\n1:3:tie\n7:-1:arrow player\n");
  int x, y, w, h;
  ASSERT_TRUE(window_geometry(scores, x, y, w, h));
  EXPECT_EQ(w, 400);
  EXPECT_EQ(h, 600);
  EXPECT_GE(x, 800); // beside the board, not over it
  // Four rows of 22 pixels, each with its name, mode and moves cells.
  EXPECT_TRUE(wait_for([&] {
    Image table = capture(scores, 0, 0, 400, 600);
    if (table.w == 0) return false;
    for (int i = 0; i < 4; i++)
      if (table.at(3, 22 * i + 3) != 0xFFF096 || table.at(153, 22 * i + 3) != 0xB4C8FA ||
          table.at(253, 22 * i + 3) != 0x96F0FF)
        return false;
    return table.at(3, 22 * 4 + 3) == WHITE && table.at(200, 22 * 4 + 11) == WHITE;
  }));

  // Closed by the window manager: the game goes on. The dialogs no longer
  // hide the result button.
  send_delete_window(scores);
  EXPECT_TRUE(wait_for([&] { return !viewable(scores); }));
  EXPECT_TRUE(game.running());
  Image won = render_result_button("You Win!", FL_WHITE, FL_BLUE);
  EXPECT_TRUE(wait_for([&] { return capture(game.window, 350, 405, 100, 50) == won; }));
  quit(game);
}

// A win by a swap that clears the last tiles of a column (kept from the
// last run), then Game → Records: the win's row, first on its page, is
// highlighted.
TEST(Win, RecordsShowTheNewWinHighlighted) {
  Game first;
  ASSERT_NE(first.window, 0u);
  quit(first);
  GameRecord ready;
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++)
      ready.board.cells[r][c] = c == 0 ? (r < 16 ? CELL_EMPTY : r < 19 ? 10 : 11) : (r + c) % 2;
  ready.board.cells[19][1] = 10;
  std::ofstream(first.dir + "/home/.local/state/varnel/game") << game_text(ready);
  Game game({}, nullptr, Audio::FILE_DEVICE, false, nullptr, &first);
  ASSERT_NE(game.window, 0u);
  game.click_tile(19, 0);
  game.click_tile(19, 1);
  Window dialog = name_dialog(game);
  ASSERT_NE(dialog, 0u);
  game.move(200, 60, dialog);
  shell("xdotool key Return");
  EXPECT_TRUE(wait_for([&] { return game.find_window("Top Scores") != 0; }));
  game.menu("Game", 9); // Records
  Window records = 0;
  EXPECT_TRUE(wait_for([&] { return (records = game.find_window("Records")) != 0; }));
  // The header row white, the first row in the newest win's colour.
  EXPECT_TRUE(wait_for([&] {
    Image page = capture(records, 0, 0, 300, 100);
    return page.w && page.at(225, 40) == WHITE && page.at(225, 60) == 0xFFD250;
  }));
  send_delete_window(records); // it may lie over the menu bar: no window manager places it
  EXPECT_TRUE(wait_for([&] { return !viewable(records); }));
  quit(game);
}

// A win by the menu, its name dialog cancelled: the top-scores window.
Window win_to_scores(Game &game) {
  game.menu("Game", 3);
  game.move(200, 60, name_dialog(game));
  shell("xdotool key Escape");
  Window scores = 0;
  wait_for([&] { return (scores = game.find_window("Top Scores")) != 0; });
  return scores;
}

// The keyboard reached the tiles under the result button, and a tile
// repainted there was drawn over the button.
TEST(Win, TheResultButtonTakesThePlaceOfTheTilesUnderIt) {
  Game game;
  ASSERT_NE(game.window, 0u);
  int row, col;
  Image before;
  make_a_swap(game, row, col, before);
  Window scores = win_to_scores(game);
  send_delete_window(scores);
  EXPECT_TRUE(wait_for([&] { return !viewable(scores); }));
  // A right click above the button focuses (and repaints) tile (9, 9); Left
  // onto (9, 8), under the button, focuses the button; Left again (9, 7).
  game.click(9 * 40 + 20, 30 + 9 * 40 + 6, 3);
  shell("xdotool key Left Left");
  EXPECT_TRUE(wait_for([&] { return focus_marked(game, 9, 7); }));
  Image won = render_result_button("You Win!", FL_WHITE, FL_BLUE);
  EXPECT_TRUE(wait_for([&] { return capture(game.window, 350, 405, 100, 50) == won; }, 50));
  shell("xdotool key Right Return"); // the button again: a new game
  EXPECT_TRUE(wait_for([&] { return game.moves_read(""); }));
  quit(game);
}

// A win past the size limit for files (ulimit -f) is lost and told; the
// limit's signal used to end the game.
TEST(Win, SizeLimitLosesTheScoreNotTheGame) {
  Game game({}, "0:2:first\n", Audio::NO_DEVICE);
  struct rlimit limit = {8, 8};
  ASSERT_EQ(prlimit(game.pid, RLIMIT_FSIZE, &limit, nullptr), 0);
  game.menu("Game", 3); // Win
  Window dialog = name_dialog(game);
  game.move(200, 60, dialog);
  shell("xdotool key Return");
  auto told = [&] {
    for (Window w : game.other_windows())
      if (w != dialog && window_name(w) == "Varnel") return true;
    return false;
  };
  EXPECT_TRUE(wait_for([&] { return told() || !game.running(); }) && game.running());
  EXPECT_EQ(game.scores(), "0:2:first\n");
}

TEST(Exit, WindowManagerCloseEndsTheGame) {
  Game game;
  ASSERT_NE(game.window, 0u);
  settled(game);
  send_delete_window(game.window);
  ASSERT_TRUE(ends_cleanly(game));
  EXPECT_EQ(game.error_output(), "");
}

// Ctrl+N and Ctrl+Q while a tile has the focus: a new game, then the end.
TEST(Exit, ControlNStartsANewGameAndControlQQuits) {
  Game game;
  ASSERT_NE(game.window, 0u);
  int row, col;
  Image before;
  Image after = make_a_swap(game, row, col, before);
  shell("xdotool key ctrl+n");
  EXPECT_TRUE(wait_for([&] { return game.moves_read(""); }));
  // The game that Ctrl+N replaced was lost for good; Ctrl+Z, once the new
  // deal has settled, brings it back.
  settled(game);
  shell("xdotool key ctrl+z");
  EXPECT_TRUE(wait_for([&] { return game.moves_read("1"); }));
  EXPECT_TRUE(wait_for([&] { return same_board(game.screen(), after); }));
  shell("xdotool key ctrl+q");
  ASSERT_TRUE(ends_cleanly(game, 500));
}

// The top-scores window takes the focus after a win, and kept the game's
// shortcuts from working; Escape still closes it.
TEST(Exit, ShortcutsWorkFromTheTopScoresWindow) {
  Game game;
  ASSERT_NE(game.window, 0u);
  for (const char *key : {"Escape", "ctrl+n"}) {
    Window scores = win_to_scores(game);
    game.move(200, 300, scores);
    shell(std::string("xdotool key ") + key);
    // Ctrl+N: a new game, which closes the window.
    EXPECT_TRUE(wait_for([&] { return !viewable(scores); })) << key;
  }
  quit(game);
}

// Escape, over the board or the menu bar, leaves the game as it is; the
// window manager's close ends it, also with the top-scores window open.
TEST(Exit, EscapeKeepsTheGameAndAWindowManagerCloseEndsIt) {
  Game game;
  ASSERT_NE(game.window, 0u);
  Image start = settled(game);
  int row, col;
  ASSERT_TRUE(choose_swap(start, row, col));
  game.move(300, 15);
  shell("xdotool key Escape");
  game.move_to_tile(row, col);
  shell("xdotool key Escape");
  // The click after the keys shows its selection: the keys were handled.
  game.click_tile(row, col);
  EXPECT_TRUE(wait_for([&] { return selection_mark(game, row, col) == WHITE; }));
  EXPECT_TRUE(game.running());
  EXPECT_TRUE(viewable(game.window));

  game.menu("Game", 3);
  Window dialog = name_dialog(game);
  ASSERT_NE(dialog, 0u);
  game.move(200, 60, dialog);
  shell("xdotool key Escape"); // cancelled: the score is the default name's
  Window scores = 0;
  EXPECT_TRUE(wait_for([&] { return (scores = game.find_window("Top Scores")) != 0; }));
  EXPECT_EQ(game.scores(), "0:1:Player\n");

  send_delete_window(game.window);
  ASSERT_TRUE(ends_cleanly(game));
  EXPECT_EQ(game.error_output(), "");
}

TEST(Exit, WithoutAnAudioDeviceNothingOnStandardError) {
  Game game({}, nullptr, Audio::NO_DEVICE);
  ASSERT_NE(game.window, 0u);
  int row, col;
  Image before;
  make_a_swap(game, row, col, before);
  game.click_tile(0, 3);
  game.menu("Game", 2); // Reset
  settled(game);
  quit(game);
  EXPECT_TRUE(game.heard().empty());
}

// Quit; the process must end within about 2 s with status 0.
testing::AssertionResult quit_within_2s(Game &game) {
  game.menu("Game", 1);
  return ends_cleanly(game, 100);
}

// A device that never takes its data held Quit for ever, with the window
// frozen on the screen.
TEST(Exit, QuitWithAStuckDeviceEndsAtOnce) {
  Game game({}, nullptr, Audio::STUCK);
  ASSERT_NE(game.window, 0u);
  settled(game);
  game.click_tile(19, 0); // a sound: the player now waits on the device
  // The server tells of the unmap as it happens, so the test learns of it
  // while the game still waits (half a second) for its stuck sound thread.
  XSelectInput(display(), game.window, StructureNotifyMask);
  XSync(display(), False);
  game.menu("Game", 1);
  XEvent event;
  EXPECT_TRUE(wait_for([&] {
    return XCheckTypedWindowEvent(display(), game.window, UnmapNotify, &event) || !game.running();
  }));
  EXPECT_TRUE(game.running()) << "the window went only with the process";
  ASSERT_TRUE(ends_cleanly(game, 100));
}

// The audio library starting for ever (as with a stale lock of libjack's)
// kept the window from ever appearing.
TEST(Exit, ABlockedAudioLibraryHoldsNothingUp) {
  Game game({}, nullptr, Audio::BLOCKED);
  ASSERT_NE(game.window, 0u);
  int row, col;
  Image before;
  make_a_swap(game, row, col, before);
  EXPECT_TRUE(quit_within_2s(game));
  EXPECT_EQ(game.error_output(), "");
}

// With stderr closed by the caller, the audio error lines went into the X
// connection, which had taken descriptor 2, and froze the game.
TEST(Exit, ClosedStderrAndAFailingDeviceKeepTheGameAnswering) {
  Game game({}, nullptr, Audio::FAILING, true);
  ASSERT_NE(game.window, 0u);
  int row, col;
  Image before;
  make_a_swap(game, row, col, before);
  game.menu("Game", 2); // Reset
  EXPECT_TRUE(at_rest(settled(game)));
  EXPECT_TRUE(quit_within_2s(game));
}

// A lost X connection: the toolkit says so and exits, and a sound thread
// asleep at that moment kept the process from ending.
TEST(Exit, KilledConnectionEndsTheGame) {
  Game game;
  ASSERT_NE(game.window, 0u);
  settled(game);
  shell("xdotool windowkill " + std::to_string(game.window));
  int status = -1;
  ASSERT_TRUE(game.wait_exit(status, 100));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << status;
  EXPECT_EQ(game.error_output(), "X I/O error\n");
}

} // namespace
