// The game in the language the test is run in (LANGUAGE): every text the
// window shows is its catalogue's translation, read from the .po file here,
// and fits its widget, at 96 and 192 dpi, at the window's default size and
// at the smallest it allows.
#include "game_fixture.h"

#include <map>
#include <set>
#include <string>

#include "help.h"
#include "language.h"
// After language.h: its lines are marked for the catalogue.
#include "help_text.h"
#include "menu_row.h"
#include "sizes.h"
// Last: Xlib's macros would clash with the test framework's names.
#include <FL/Fl_Button.H>
#include <FL/Fl_Text_Display.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
#include <FL/fl_utf8.h>

namespace {

// The text between a line's quotes, its escapes undone.
std::string unquoted(const char *line) {
  std::string text;
  const char *c = strchr(line, '"');
  for (c = c ? c + 1 : ""; *c && !(c[0] == '"' && (c[1] == '\n' || !c[1])); c++)
    text += *c == '\\' && c[1] ? *++c : *c;
  return text;
}

// The catalogue's one-line entries, msgid to msgstr, as a translator wrote them.
std::map<std::string, std::string> catalogue;
void read_po(const std::string &path) {
  FILE *in = popen(("msgcat --no-wrap " + path).c_str(), "r");
  char line[8192];
  std::string id;
  while (in && fgets(line, sizeof line, in)) {
    if (strncmp(line, "msgid ", 6) == 0) id = unquoted(line);
    if (strncmp(line, "msgstr ", 7) == 0 && !id.empty() && !unquoted(line).empty())
      catalogue[id] = unquoted(line);
  }
  if (in) pclose(in);
}

// What the player should see for an English text.
std::string translated(const char *english) {
  auto found = catalogue.find(english);
  return found == catalogue.end() ? english : found->second;
}

// A widget's label, at the size it is drawn at (or given), within the
// widget: on one line two pixels clear of its frame on each side, or wrapped
// at its width as the toolkit wraps it.
void expect_fits(const Fl_Widget *w, int size = 0, bool wrap = false) {
  fl_font(w->labelfont(), size ? size : w->labelsize());
  int inside = w->w() - Fl::box_dw(w->box()), tw = wrap ? inside : 0, th = 0;
  fl_measure(w->label(), tw, th, 0);
  EXPECT_TRUE(tw <= (wrap ? inside : inside - 4) && th <= w->h() - Fl::box_dh(w->box()))
      << "\"" << w->label() << "\" at " << (size ? size : w->labelsize()) << " px";
}

// Prints the tightest place: the menu titles' width and the boxes' smallest
// text size.
void expect_menu_row(MainWin *w) {
  RowMenuBar *bar = w->menu_bar;
  int size = bar->menu()->labelsize() ? bar->menu()->labelsize() : bar->textsize();
  EXPECT_LE(bar->titles_width(size), bar->w()) << "menu titles at " << size << " px";
  for (int i = 0; menu_items[i].text || menu_items[i + 1].text; i++)
    EXPECT_EQ(menu_items[i].text ? translated(menu_items[i].text) : "",
              bar->menu()[i].text ? bar->menu()[i].text : "");
  // Alt and a letter opens each menu: one letter each, none shared.
  std::set<std::string> letters;
  for (const Fl_Menu_Item *title = bar->menu(); title->text; title = title->next())
    if (const char *mark = strchr(title->text, '&'))
      letters.insert(std::string(1, (char)tolower(mark[1])) +
                     std::string(mark + 2, fl_utf8len1(mark[1]) - 1));
  EXPECT_EQ(letters.size(), 3u);
  int smallest = 1000;
  for (const char *text : {"Stupid", "Medium", "No swap clears", "Top row full"})
    for (FitBox *box : {w->difficulty_box, (FitBox *)w->game->moves_box}) {
      box->set_text(_(text));
      EXPECT_EQ(box->label(), translated(text));
      bool wrap;
      int fitted = box->fitted_size(wrap);
      expect_fits(box, fitted, wrap);
      smallest = std::min(smallest, fitted);
    }
  printf("  menu titles %d of %d px at %d px; boxes' smallest text %d px\n",
         bar->titles_width(size), bar->w(), size, smallest);
}

void expect_result_button(Varnel *b) {
  for (int result : {1, -1}) {
    b->show_result(result);
    EXPECT_EQ(b->result_button->label(), translated(result > 0 ? "You Win!" : "You Lose."));
    expect_fits(b->result_button);
  }
  b->show_result(0);
}

// A question, with the toolkit's button texts and the game's.
void expect_dialog_buttons() {
  static int checked;
  checked = 0;
  auto look = [](void *) {
    Fl_Window *dialog = fl_message_icon()->window();
    for (int i = 0; dialog->shown() && i < dialog->children(); i++)
      if (Fl_Button *button = dynamic_cast<Fl_Button *>(dialog->child(i)))
        if (button->visible()) expect_fits(button), checked++;
    dialog->hide();
  };
  Fl::add_check(look);
  fl_choice("%s", fl_cancel, _("Reset Records"), nullptr, _("Reset Records"));
  Fl::remove_check(look);
  EXPECT_EQ(checked, 2);
  EXPECT_EQ(fl_cancel, translated("Cancel"));
}

void expect_help_windows() {
  Fl_Window *help = show_help(HelpPage::HOW_TO_PLAY);
  EXPECT_EQ(help->label(), translated("How to Play — Varnel"));
  char *text = ((Fl_Text_Display *)help->child(0))->buffer()->text();
  EXPECT_EQ(std::string(text, strcspn(text, "\n")), translated(HOW_TO_PLAY_LINES[0]));
  free(text);
  // The About window's paragraphs, wrapped, and its button below them all.
  Fl_Window *about = show_help(HelpPage::ABOUT);
  EXPECT_EQ(about->label(), translated("About Varnel"));
  for (int i = 0; i < about->children(); i++) {
    expect_fits(about->child(i), 0, true);
    EXPECT_LE(about->child(i)->y() + about->child(i)->h(), about->h());
  }
  hide_help();
}

} // namespace

TEST(Language, EveryTextIsTheCataloguesAndFits) {
  std::string language = getenv("LANGUAGE") ? getenv("LANGUAGE") : "en";
  read_po(std::string(PO_DIR) + "/" + language + ".po");
  ASSERT_TRUE(language == "en" || catalogue.size() > 100);
  for (int scale : {1, 2}) {
    set_text_size(TEXT_SIZE * scale);
    MainWin *w = main_window = new MainWin(1, 800 * scale, 830 * scale, "Varnel test");
    for (bool smallest : {false, true}) {
      if (smallest) w->resize(w->x(), w->y(), w->least_w, w->least_h);
      Fl::check();
      printf("%d dpi, window %d x %d:\n", 96 * scale, w->w(), w->h());
      SCOPED_TRACE(testing::Message() << 96 * scale << " dpi, " << w->w() << " px wide");
      expect_menu_row(w);
      expect_result_button(w->game);
    }
    expect_dialog_buttons();
    expect_help_windows();
    main_window = nullptr;
    delete w;
  }
}

int main(int argc, char **argv) {
  testing::InitGoogleTest(&argc, argv);
  // The test is not beside the game: its catalogues are the build tree's.
  bindtextdomain("varnel", LOCALE_DIR);
  start_language();
  return RUN_ALL_TESTS();
}
