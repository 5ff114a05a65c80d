// The main window, its menus and their commands, also when a command arrives
// in the middle of a running resolution.
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/fl_ask.H>
#include <cstring>
#include <ctime>
#include <vector>
#include <string>

#include "board_helpers.h"
#include "game_fixture.h"
#include "help.h"
// Last: Xlib's macros would clash with the test framework's names.
#include <FL/Fl_Text_Display.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

namespace {

Fl_Menu_Bar *menu_bar() {
  return (Fl_Menu_Bar *)main_window->child(0);
}

// Picks an entry the way a click in the open menu does: marks and callback.
void pick(const char *path) {
  const Fl_Menu_Item *item = menu_bar()->find_item(path);
  ASSERT_NE(item, nullptr) << path;
  menu_bar()->picked(item);
}

// Every tile shows its cell: colour from the value, an arrow exactly on a
// colour in arrow mode; and the board is stable.
void expect_consistent(Varnel *b) {
  EXPECT_TRUE(is_stable(b->board));
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++) {
      VarnelButton *t = b->buttons[r][c];
      int v = b->board[r][c];
      EXPECT_EQ(t->color(), cell_colour(v)) << r << "," << c;
      bool arrow = b->arrow_mode == 1 && v >= 0 && v <= 99;
      EXPECT_EQ(label_of(t), arrow ? arrow_label(t->direction) : "") << r << "," << c;
    }
}

int highest_value(Varnel *b) {
  int highest = -1;
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++)
      highest = std::max(highest, b->board[r][c]);
  return highest;
}

class MainWindowTest : public GameTest {
protected:
  static const int ENTRIES = 27;
};

TEST_F(MainWindowTest, BoardWritesMovesIntoTheWindowsMoveBox) {
  MainWin *w = main_window;
  ASSERT_EQ(w->children(), 4);
  EXPECT_EQ(w->child(2), w->game->moves_box);
  EXPECT_EQ(label_of(w->game->moves_box), "");
  EXPECT_TRUE(w->game->x() == 0 && w->game->y() == 30);
  // Its own items: the marks of one window are not another's.
  EXPECT_NE(menu_bar()->menu(), menu_items);
}

TEST_F(MainWindowTest, MenuTableEntriesAndFlags) {
  const struct {
    const char *label;
    Fl_Callback *callback;
    int flags;
    int shortcut;
  } want[ENTRIES] = {{"&Game", nullptr, FL_SUBMENU, 0},
                     {"Quit", quit_cb, 0, FL_CTRL + 'q'},
                     {"Reset", reset_menu_cb, 0, FL_CTRL + 'n'},
                     {"Win", win_cb, 0, 0},
                     {"Sound", sound_cb, FL_MENU_TOGGLE | FL_MENU_VALUE, FL_CTRL + 'm'},
                     {"Symbols", symbols_cb, FL_MENU_TOGGLE, 0},
                     {"Undo", undo_cb, 0, FL_CTRL + 'z'},
                     {"Hint", hint_cb, 0, FL_CTRL + 'h'},
                     {"Top Scores", top_scores_cb, 0, 0},
                     {"Records", records_cb, 0, 0},
                     {"Play Deal…", play_deal_cb, 0, 0},
                     {"Today's Deal", todays_deal_cb, 0, 0},
                     {"Speech", speech_cb, FL_MENU_TOGGLE, FL_CTRL + FL_SHIFT + 's'},
                     {nullptr, nullptr, 0, 0},
                     {"&Difficulty", nullptr, FL_SUBMENU, 0},
                     {"Easy", easy_cb, FL_MENU_RADIO, 0},
                     {"Medium", medium_cb, FL_MENU_RADIO | FL_MENU_VALUE, 0},
                     {"Hard", hard_cb, FL_MENU_RADIO, 0},
                     {"Stupid", stupid_cb, FL_MENU_RADIO, 0},
                     {"Toggle Arrow Mode", arrow_mode_cb, FL_MENU_TOGGLE, 0},
                     {nullptr, nullptr, 0, 0},
                     {"&Help", nullptr, FL_SUBMENU, 0},
                     {"How to Play", help_cb, 0, FL_F + 1},
                     {"Keys", keys_cb, 0, 0},
                     {"About Varnel", about_cb, 0, 0},
                     {nullptr, nullptr, 0, 0},
                     {nullptr, nullptr, 0, 0}};
  for (int i = 0; i < ENTRIES; i++) {
    const Fl_Menu_Item &m = menu_bar()->menu()[i];
    SCOPED_TRACE(i);
    EXPECT_STREQ(m.text, want[i].label);
    EXPECT_EQ(m.callback_, want[i].callback);
    // Only the starting level (Medium here) and the sound are marked, in
    // the menu bar's items; the table it copied has no marks.
    EXPECT_EQ(m.flags, want[i].flags);
    EXPECT_EQ(menu_items[i].flags, want[i].flags & ~FL_MENU_VALUE);
    EXPECT_EQ(m.shortcut_, want[i].shortcut);
    EXPECT_EQ(m.user_data_, nullptr);
    EXPECT_TRUE(m.labeltype_ == 0 && m.labelfont_ == 0 && m.labelsize_ == 0 && m.labelcolor_ == 0);
  }
}

TEST_F(MainWindowTest, CommandLineLevelNamesTheDifficultyBox) {
  const struct {
    const char *arg;
    int level;
    const char *name;
  } cases[] = {{nullptr, 1, "Medium"}, {"0", 0, "Easy"},   {"3", 3, "Stupid"}, {"7", 3, "Stupid"},
               {"-5", 0, "Easy"},      {"abc", 0, "Easy"}, {"2x", 2, "Hard"},  {"1", 1, "Medium"}};
  for (auto [arg, level, name] : cases) {
    SCOPED_TRACE(arg ? arg : "(none)");
    EXPECT_EQ(parse_level(arg), level);
    MainWin *w = new MainWin(parse_level(arg), 800, 830, "Varnel");
    EXPECT_EQ(w->difficulty, level);
    EXPECT_EQ(label_of(w->difficulty_box), name);
    // The Difficulty menu marks the same level, and only that one; the
    // main window's menu keeps its own mark.
    int easy = w->menu_bar->find_index("&Difficulty/Easy");
    for (int i = 0; i < 4; i++) {
      EXPECT_EQ(w->menu_bar->menu()[easy + i].value() != 0, i == level) << i;
      EXPECT_EQ(menu_bar()->menu()[easy + i].value() != 0, i == 1) << i;
    }
    w->hide();
    delete w;
  }
}

TEST_F(MainWindowTest, LevelEntriesStartNewGamesAtTheirLevel) {
  Varnel *b = board();
  const struct {
    const char *path;
    int level, colours;
    const char *name;
  } levels[] = {{"&Difficulty/Easy", 0, 4, "Easy"},
                {"&Difficulty/Stupid", 3, 12, "Stupid"},
                {"&Difficulty/Hard", 2, 8, "Hard"},
                {"&Difficulty/Hard", 2, 8, "Hard"}, // the level in force: a new game too
                {"&Difficulty/Medium", 1, 5, "Medium"}};
  for (auto [path, level, colours, name] : levels) {
    SCOPED_TRACE(path);
    global_win = -1;
    b->result_button->show();
    b->moves = 7;
    pick(path);
    EXPECT_EQ(main_window->difficulty, level);
    EXPECT_EQ(label_of(main_window->difficulty_box), name);
    EXPECT_TRUE(global_win == 0 && !b->result_button->visible() && b->moves == 0);
    EXPECT_EQ(highest_value(b), colours - 1);
    expect_consistent(b);
    // One radio group: only the picked level carries the mark.
    for (const char *other : {"Easy", "Medium", "Hard", "Stupid"})
      EXPECT_EQ(menu_bar()->find_item((std::string("&Difficulty/") + other).c_str())->value() != 0,
                strcmp(other, name) == 0);
  }
}

TEST_F(MainWindowTest, ToggleArrowModeAndResetStartNewGamesKeepingTheLevel) {
  Varnel *b = board();
  pick("&Difficulty/Hard");
  const Fl_Menu_Item *toggle = menu_bar()->find_item("&Difficulty/Toggle Arrow Mode");
  for (int mode : {1, 0}) {
    b->moves = 4;
    pick("&Difficulty/Toggle Arrow Mode");
    EXPECT_EQ(b->arrow_mode, mode);
    EXPECT_EQ(toggle->value() != 0, mode == 1);
    EXPECT_EQ(b->moves, 0);
    EXPECT_EQ(main_window->difficulty, 2);
    EXPECT_TRUE(menu_bar()->find_item("&Difficulty/Hard")->value());
    expect_consistent(b);
  }
  b->arrow_mode = 1;
  b->moves = 4;
  global_win = -1;
  pick("&Game/Reset");
  EXPECT_TRUE(b->moves == 0 && global_win == 0 && b->arrow_mode == 1);
  EXPECT_EQ(main_window->difficulty, 2);
  expect_consistent(b);
}

// Every new game empties the move box, as it is at start-up, until its own
// first move.
TEST_F(MainWindowTest, NewGamesEmptyTheMoveBox) {
  Varnel *b = board();
  const char *commands[] = {"&Game/Reset", "&Difficulty/Hard", "&Difficulty/Toggle Arrow Mode",
                            "result button"};
  for (const char *path : commands) {
    SCOPED_TRACE(path);
    b->moves = 3;
    snprintf(b->moves_text, sizeof b->moves_text, "3");
    b->moves_box->label(b->moves_text);
    if (strcmp(path, "result button") == 0)
      b->result_button->do_callback();
    else
      pick(path);
    EXPECT_EQ(b->moves, 0);
    EXPECT_EQ(label_of(b->moves_box), "");
  }
}

TEST_F(MainWindowTest, CommandsWithoutWindowOrArgumentsDoNothing) {
  Varnel *b = board();
  fill_without_matches(b);
  global_win = -1;
  b->result_button->show();
  Shot before(b->board);
  // The result button's callback needs both the widget and the board.
  reset_cb(nullptr, b);
  reset_cb(b->result_button, nullptr);
  reset_cb(nullptr, nullptr);
  EXPECT_TRUE(Shot(b->board) == before);
  EXPECT_TRUE(global_win == -1 && b->result_button->visible());
  // Without a main window every command but Win does nothing at all; Win
  // only sets the flag.
  MainWin *w = main_window;
  main_window = nullptr;
  for (Fl_Callback *cb : {quit_cb, reset_menu_cb, easy_cb, medium_cb, hard_cb, stupid_cb,
                          arrow_mode_cb, sound_cb, symbols_cb})
    cb(nullptr, nullptr);
  win_cb(nullptr, nullptr);
  main_window = w;
  EXPECT_TRUE(Shot(b->board) == before);
  EXPECT_EQ(global_win, 1);
  EXPECT_TRUE(w->shown() && w->difficulty == 1 && b->arrow_mode == 0 && !b->symbols);
  EXPECT_TRUE(game_settings.sound && sound_on());
  EXPECT_EQ(label_of(w->difficulty_box), "Medium");
  // The real result button, clicked: a new game.
  b->result_button->do_callback();
  EXPECT_TRUE(global_win == 0 && !b->result_button->visible());
}

// Sound and Symbols change at once, and are kept for the next start, as are
// the level and mode last picked.
TEST_F(MainWindowTest, SoundAndSymbolsAreKeptForTheNextStart) {
  pick("&Game/Sound");
  pick("&Game/Symbols");
  pick("&Difficulty/Hard");
  pick("&Difficulty/Toggle Arrow Mode");
  EXPECT_TRUE(!sound_on() && board()->symbols);
  Settings kept = load_settings();
  EXPECT_TRUE(!kept.sound && kept.symbols && kept.level == 2 && kept.arrows);
}

TEST_F(MainWindowTest, QuitHidesAndDestroysTheWindow) {
  Fl_Widget_Tracker window(main_window);
  Fl_Widget_Tracker game(board());
  pick("&Game/Quit");
  EXPECT_EQ(main_window, nullptr);
  EXPECT_EQ(Fl::check(), 0); // no window is shown: the event loop would end
  EXPECT_TRUE(window.deleted());
  EXPECT_TRUE(game.deleted());
}

// Each help entry shows one window, the same one when picked again, beside
// the game; Quit hides them all, so that the event loop ends.
TEST_F(MainWindowTest, HelpWindowsOpenOnceAndQuitClosesThem) {
  pick("&Help/About Varnel");
  Fl_Window *about = show_help(HelpPage::ABOUT);
  pick("&Help/About Varnel");
  EXPECT_EQ(show_help(HelpPage::ABOUT), about);
  EXPECT_GE(about->x(), main_window->x() + main_window->w()); // not over the board
  EXPECT_TRUE(about->shown() && !about->modal() && !about->non_modal());
  EXPECT_EQ(label_of(about->child(1)), "Version " VARNEL_VERSION);
  pick("&Help/How to Play");
  pick("&Game/Quit");
  EXPECT_EQ(Fl::check(), 0);
}

// Resized by the player, the board's tiles keep one size among themselves,
// also when the window does not stand at the screen's origin.
TEST_F(MainWindowTest, TheBoardScalesEvenlyWhereverTheWindowIs) {
  Varnel *b = board();
  const struct {
    int x, y, w, h;
  } sizes[] = {{0, 0, 600, 630}, {150, 90, 600, 630}, {300, 40, 1000, 950}};
  for (auto [x, y, w, h] : sizes) {
    SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(w) + "x" +
                 std::to_string(h));
    main_window->resize(x, y, w, h);
    Fl::check();
    int least_w = 1 << 30, most_w = 0, least_h = 1 << 30, most_h = 0;
    for (int r = 0; r < BOARD_ROWS; r++)
      for (int c = 0; c < BOARD_COLS; c++) {
        VarnelButton *t = b->buttons[r][c];
        least_w = std::min(least_w, t->w());
        most_w = std::max(most_w, t->w());
        least_h = std::min(least_h, t->h());
        most_h = std::max(most_h, t->h());
      }
    // Whole pixels: sizes may differ by the one pixel of rounding.
    EXPECT_LE(most_w - least_w, 1);
    EXPECT_LE(most_h - least_h, 1);
    // The tiles still fill the board edge to edge.
    VarnelButton *last = b->buttons[BOARD_ROWS - 1][BOARD_COLS - 1];
    EXPECT_TRUE(b->buttons[0][0]->x() == 0 && b->buttons[0][0]->y() == 0);
    EXPECT_EQ(last->x() + last->w(), b->w());
    EXPECT_EQ(last->y() + last->h(), b->h());
  }
}

// No aspect hint (a window manager keeping one grew the window past the
// screen as it was dragged): a square board of whole tiles, centred, in
// any shape down to a quarter of the start size.
TEST_F(MainWindowTest, TheBoardStaysSquareInAWindowOfOtherProportions) {
  XSizeHints hints;
  long supplied = 0;
  ASSERT_TRUE(XGetWMNormalHints(fl_display, fl_xid(main_window), &hints, &supplied));
  EXPECT_FALSE(hints.flags & PAspect);
  EXPECT_TRUE(hints.min_width == 200 && hints.min_height == 207);
  // At most the 1280 x 1024 work area with a title bar.
  EXPECT_TRUE(hints.max_width == 1280 && hints.max_height == 1024 - 32);
  Varnel *b = board();
  for (auto [w, h] : {std::pair{1000, 700}, {700, 1000}, {800, 1600}, {800, 500}}) {
    main_window->resize(0, 0, w, h);
    Fl::check();
    // The menu row keeps its height; it grew and shrank with the window.
    EXPECT_TRUE(menu_bar()->h() == 30 && main_window->difficulty_box->h() == 26) << h;
    VarnelButton *tile = b->buttons[0][0];
    EXPECT_TRUE(b->w() == b->h() && b->w() == BOARD_COLS * tile->w() && tile->w() == tile->h());
    EXPECT_EQ(b->x(), (w - b->w()) / 2);
    EXPECT_TRUE(b->y() >= menu_bar()->h() && b->y() + b->h() <= h);
  }
}

// The menu row's pixels (0xRRGGBB, row after row), once the box shows: the
// middle of its left side in its own colour.
std::vector<unsigned long> drawn_row(MainWin *w, Fl_Box *box) {
  std::vector<unsigned long> out;
  int at = (box->y() + box->h() / 2) * w->w() + box->x() + Fl::box_dx(box->box());
  for (int i = 0; i < 300 && (out.size() <= (size_t)at || out[at] != 0xFFC8DC); i++) {
    Fl::wait(0.01), Fl::flush(), XSync(fl_display, False), out.clear();
    XImage *image = XGetImage(fl_display, fl_xid(w), 0, 0, w->w(), w->row, AllPlanes, ZPixmap);
    for (int j = 0; image && j < w->row * w->w(); j++)
      out.push_back(XGetPixel(image, j % w->w(), j / w->w()) & 0xFFFFFF);
    if (image) XDestroyImage(image);
  }
  return out;
}

// At 500 pixels the move box read "o swap clea", at 300 its text spilled
// into the level box, a stray "N" stayed after a new game, and at the
// smallest size Help ran into the level's name. At every width: the titles
// fit the bar, a box's text keeps off its sides, and gone, leaves nothing.
TEST_F(MainWindowTest, TheMenuRowsTextsFitAtEverySize) {
  MainWin *w = main_window;
  for (int width : {800, 500, 300, 200}) {
    w->resize(0, 0, width, 400);
    int titles = 6;
    for (const Fl_Menu_Item *m = menu_bar()->menu(); m && m->text; m = m->next())
      titles += m->measure(nullptr, menu_bar()) + 16;
    EXPECT_LE(titles, menu_bar()->w()) << width;
    for (Fl_Box *box : {(Fl_Box *)w->difficulty_box, w->game->moves_box})
      for (const char *text : {"Stupid", "No swap clears", "12345"}) {
        SCOPED_TRACE(testing::Message() << width << " pixels, \"" << text << "\"");
        box->label(text), box->redraw();
        std::vector<unsigned long> shown = drawn_row(w, box);
        int dx = Fl::box_dx(box->box()), dy = Fl::box_dy(box->box()), spilt = 0;
        for (int y = box->y() + dy; y < box->y() + box->h() - dy; y++)
          for (int x : {box->x() + dx, box->x() + box->w() - 1 - dx})
            spilt += shown[y * width + x] != 0xFFC8DC;
        box->label(""), box->redraw();
        std::vector<unsigned long> empty = drawn_row(w, box);
        for (int i = 0; i < (int)shown.size(); i++)
          spilt +=
              (i % width < box->x() || i % width >= box->x() + box->w()) && shown[i] != empty[i];
        EXPECT_EQ(spilt, 0);
      }
  }
}

// A move that clears nothing, once the top row is full, loses: the level box
// says so until the row has room again.
TEST_F(MainWindowTest, TheLevelBoxWarnsWhileTheTopRowIsFull) {
  Varnel *b = board();
  fill_without_matches(b);
  { BoardBusy move; }
  EXPECT_EQ(label_of(main_window->difficulty_box), "Top row full");
  b->Array(0, 7, CELL_EMPTY);
  { BoardBusy move; }
  EXPECT_EQ(label_of(main_window->difficulty_box), "Medium");
}

// A level or Toggle Arrow Mode threw a game away for good (Ctrl+N: e2e).
// Undo, with no move of the new game left, brings it back as it stood: its
// board, level, mode, count and undo history.
TEST_F(MainWindowTest, UndoBringsBackTheGameANewGameReplaced) {
  Varnel *b = board();
  for (const char *path : {"&Difficulty/Stupid", "&Difficulty/Toggle Arrow Mode"}) {
    pick("&Difficulty/Hard");
    fill_without_matches(b);
    b->Array(0, 3, CELL_EMPTY);
    b->moves = 6;
    b->begin_move();
    Shot before(b->board);
    pick(path);
    undo_cb(nullptr, nullptr);
    EXPECT_TRUE(Shot(b->board) == before && b->moves == 6 && b->undo.size() == 1) << path;
    EXPECT_TRUE(main_window->difficulty == 2 && b->arrow_mode == 0) << path;
    EXPECT_TRUE(label_of(main_window->difficulty_box) == "Hard" &&
                menu_bar()->find_item("&Difficulty/Hard")->value() &&
                !menu_bar()->find_item("&Difficulty/Toggle Arrow Mode")->value());
  }
}

// Run on a 1366 x 768 screen: the window starts small enough for the work
// area and a title bar, with square tiles of whole pixels and the text as
// it is.
TEST(SmallScreen, TheWindowStartsSmallEnoughForTheWorkArea) {
  fl_open_display();
  StartSize size = start_size();
  MainWin *w = new MainWin(1, size.w, size.h, "Varnel test");
  Fl::check();
  int x, y, screen_w, screen_h;
  Fl::screen_work_area(x, y, screen_w, screen_h);
  EXPECT_TRUE(w->w() <= screen_w && w->h() + TITLE_BAR <= screen_h);
  VarnelButton *tile = w->game->buttons[0][0];
  EXPECT_TRUE(w->game->w() == w->game->h() && w->game->w() == BOARD_COLS * tile->w());
  EXPECT_EQ(tile->w(), 35); // (768 - 32 - 30) / 20, the largest that fits
  EXPECT_TRUE(size.text == 11 && w->child(0)->h() == 30);
  delete w;
}

// Run on a 2560 x 2048 screen whose desktop asks for 192 dpi: the window and
// everything in it twice as large.
TEST(DenseScreen, At192DpiEverythingIsTwiceAsLarge) {
  // The resources are read as the display opens.
  ASSERT_EQ(system("echo 'Xft.dpi: 192' | xrdb -nocpp -merge"), 0);
  fl_open_display();
  StartSize size = start_size();
  EXPECT_TRUE(size.w == 1600 && size.h == 1660 && size.text == 22);
  set_text_size(size.text);
  MainWin *w = new MainWin(1, size.w, size.h, "Varnel test");
  Varnel *b = w->game;
  EXPECT_TRUE(w->child(0)->h() == 60 && w->difficulty_box->w() == 200);
  EXPECT_TRUE(b->buttons[0][0]->w() == 80 && b->buttons[0][0]->labelsize() == 22);
  EXPECT_TRUE(b->result_button->w() == 200 && b->result_button->h() == 100);
  b->ShowTopScores();
  EXPECT_TRUE(b->scores_window->w() == 800 && b->scores_window->h() == 1200);
  Fl_Window *help = show_help(HelpPage::HOW_TO_PLAY);
  EXPECT_TRUE(help->w() == 1040 && ((Fl_Text_Display *)help->child(0))->textsize() == 26);
  // In a wide, short window (32-pixel tiles) "You Win!" ran out of its button.
  w->resize(0, 0, 1600, 700);
  fl_font(b->result_button->labelfont(), b->result_button->labelsize());
  EXPECT_LE(fl_width("You Win!"), b->result_button->w() - Fl::box_dw(FL_UP_BOX));
  delete w;
}

// At 192 dpi the name dialog's 22-pixel text overfilled its 25-pixel field,
// and the dialog opened at the pointer, a screen corner away.
TEST(DenseScreen, TheNameDialogFitsItsTextOverTheBoard) {
  ASSERT_EQ(system("echo 'Xft.dpi: 192' | xrdb -nocpp -merge && xdotool mousemove 0 0"), 0);
  fl_open_display();
  set_text_size(start_size().text);
  char dir[] = "/tmp/varnel-test-XXXXXX"; // where the win writes its score
  ASSERT_TRUE(mkdtemp(dir) && chdir(dir) == 0);
  main_window = new MainWin(1, 1600, 1660, "Varnel test");
  static int field, text, off_x, off_y; // the dialog's centre from the window's
  auto look = [](void *) {              // once the dialog is up; then closed, a cancel
    Fl_Window *dialog = fl_message_icon()->window();
    if (!dialog->shown()) return;
    for (int i = 0; i < dialog->children(); i++)
      if (Fl_Input *input = dynamic_cast<Fl_Input *>(dialog->child(i))) {
        fl_font(input->textfont(), input->textsize());
        field = input->h() - Fl::box_dh(input->box()), text = fl_height();
      }
    off_x = dialog->x() + dialog->w() / 2 - main_window->x() - main_window->w() / 2;
    off_y = dialog->y() + dialog->h() / 2 - main_window->y() - main_window->h() / 2;
    dialog->hide();
  };
  Fl::add_check(look);
  win_cb(nullptr, nullptr);
  Fl::remove_check(look);
  EXPECT_GE(field, text);
  EXPECT_TRUE(abs(off_x) <= 1 && abs(off_y) <= 1) << off_x << "," << off_y;
  delete main_window;
  main_window = nullptr;
  EXPECT_EQ(system(("rm -r " + std::string(dir)).c_str()), 0);
}

// A long resolution: a square at the bottom of a full board without
// matches; every tile above it falls two cells.
void start_long_resolution(Varnel *b) {
  fill_without_matches(b);
  for (int r = 18; r < 20; r++)
    for (int c = 0; c < 2; c++)
      b->Array(r, c, 11);
}

// Runs a resolution in which the recorder's on_step sees step `at`: the long
// hand-made one above, or the one of a new game at Easy. A deal comes from
// the clock; a rare deal whose resolution is too short is dealt again once
// the clock has ticked.
void run_resolution(Varnel *b, StepRecorder &rec, bool new_game, int at) {
  if (!new_game) {
    start_long_resolution(b);
    b->Matched();
    return;
  }
  main_window->difficulty = 0;
  for (int attempt = 0; attempt < 3; attempt++) {
    rec.shots.clear();
    b->Reset();
    if ((int)rec.shots.size() >= at) return;
    time_t t = time(nullptr);
    while (time(nullptr) == t)
      Fl::wait(0.01);
  }
}

// Commands arrive at these repaint steps: the first clear, the first fall,
// and (in the long resolution) a fall in the middle of the passes.
std::vector<int> steps_of(bool new_game) {
  return new_game ? std::vector<int>{1, 2} : std::vector<int>{1, 2, 30};
}

TEST_F(MainWindowTest, QuitDuringAResolutionWaitsForItsEnd) {
  for (bool new_game : {false, true}) {
    for (int at : steps_of(new_game)) {
      SCOPED_TRACE(std::string(new_game ? "new game" : "match") + ", step " + std::to_string(at));
      if (!main_window) main_window = new MainWin(1, 800, 830, "Varnel test");
      Fl::check();
      Varnel *b = board();
      Fl_Widget_Tracker window(main_window), game(b);
      bool fired = false, alive_after = true;
      {
        StepRecorder rec(b);
        rec.on_step = [&](int step) {
          if (step == at) {
            quit_cb(nullptr, nullptr);
            fired = true;
            EXPECT_EQ(main_window, nullptr);
          } else if (fired) {
            alive_after = alive_after && window.exists() && game.exists();
          }
        };
        run_resolution(b, rec, new_game, at);
        ASSERT_TRUE(fired) << "the resolution had fewer steps";
        // The resolution ran to its end on a board that was still there.
        EXPECT_TRUE(alive_after);
        ASSERT_TRUE(game.exists());
        EXPECT_TRUE(is_stable(b->board));
      }
      EXPECT_EQ(main_window, nullptr);
      Fl::check();
      EXPECT_TRUE(window.deleted());
    }
  }
}

TEST_F(MainWindowTest, NewGameCommandsDuringAResolutionLeaveAConsistentBoard) {
  for (bool new_game : {false, true}) {
    // The level in force when the command comes.
    const int before = new_game ? 0 : 1;
    const struct {
      const char *path;
      int level, arrow_mode;
    } commands[] = {{"&Game/Reset", before, 0},
                    {"&Difficulty/Hard", 2, 0},
                    {"&Difficulty/Stupid", 3, 0},
                    {"&Difficulty/Toggle Arrow Mode", before, 1}};
    for (auto [path, level, arrow_mode] : commands)
      for (int at : steps_of(new_game)) {
        SCOPED_TRACE(std::string(path) + (new_game ? " in a new game" : " in a match") + ", step " +
                     std::to_string(at));
        Varnel *b = board();
        main_window->difficulty = before;
        b->arrow_mode = 0;
        bool fired = false;
        StepRecorder rec(b);
        rec.on_step = [&](int step) {
          if (step != at) return;
          fired = true;
          pick(path);
        };
        run_resolution(b, rec, new_game, at);
        ASSERT_TRUE(fired) << "the resolution had fewer steps";
        EXPECT_EQ(main_window->difficulty, level);
        EXPECT_EQ(b->arrow_mode, arrow_mode);
        EXPECT_EQ(b->board[0][0], CELL_EMPTY); // the command's deal stood
        EXPECT_LE(highest_value(b), colour_count(level) - 1);
        expect_consistent(b);
      }
  }
}

// The work that waits for the first paint (fonts, clips, player) ran in the
// middle of the first deal, which is often when that paint comes.
TEST_F(MainWindowTest, WorkAfterTheFirstPaintWaitsForTheBoardOperation) {
  static bool ran;
  ran = false;
  MainWin *w = new MainWin(1, 400, 430, "first paint");
  w->after_first_paint = [](void *) { ran = true; };
  {
    BoardBusy deal;
    for (int i = 0, after = 0; i < 300 && after < 10; i++, after += w->painted)
      Fl::wait(0.01);
    EXPECT_TRUE(w->painted && !ran);
  }
  for (int i = 0; i < 100 && !ran; i++)
    Fl::wait(0.01);
  EXPECT_TRUE(ran);
  delete w;
  // A window never exposed (mapped iconic) ran it only once the player
  // opened it, and the sound came late, in a burst.
  ran = false;
  w = new MainWin(1, 400, 430, "never painted");
  w->hide();
  w->after_first_paint = [](void *) { ran = true; };
  for (int i = 0; i < 200 && !ran; i++)
    Fl::wait(0.01);
  EXPECT_TRUE(ran && !w->painted);
  delete w;
}

} // namespace
