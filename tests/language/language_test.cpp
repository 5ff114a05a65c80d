// The game in the language the test is run in (LANGUAGE): every text the
// window shows is its catalogue's translation, read from the .po file here,
// and fits its widget, at 96 and 192 dpi, at the window's default size and
// at the smallest it allows.
#include "game_fixture.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <string>

#include "help.h"
#include "language.h"
// After language.h: its lines are marked for the catalogue.
#include "help_text.h"
#include "menu_row.h"
#include "result_button.h"
#include "sizes.h"
// Last: Xlib's macros would clash with the test framework's names.
#include <FL/Fl_Button.H>
#include <FL/Fl_Text_Display.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
#include <FL/fl_utf8.h>

namespace {

// A catalogue's singular entries, msgid to msgstr, as a translator wrote them.
std::map<std::string, std::string> read_po(const std::string &path) {
  std::map<std::string, std::string> entries;
  std::ifstream in(path);
  std::string line, id, str, *into = nullptr;
  auto unquote = [](const std::string &l) {
    std::string text;
    for (size_t i = l.find('"') + 1; i + 1 < l.size(); i++) {
      if (l[i] != '\\') {
        text += l[i];
        continue;
      }
      char e = l[++i];
      text += e == 'n' ? '\n' : e == 't' ? '\t' : e;
    }
    return text;
  };
  auto finish = [&] {
    if (!id.empty() && !str.empty()) entries[id] = str;
    id.clear(), str.clear(), into = nullptr;
  };
  while (std::getline(in, line)) {
    if (line.rfind("msgid ", 0) == 0) {
      finish();
      id = unquote(line), into = &id;
    } else if (line.rfind("msgstr ", 0) == 0) {
      str = unquote(line), into = &str;
    } else if (line.rfind("msgid_plural", 0) == 0 || line.rfind("msgstr[", 0) == 0) {
      into = nullptr;
    } else if (line.rfind("\"", 0) == 0 && into) {
      *into += unquote(line);
    }
  }
  finish();
  return entries;
}

std::map<std::string, std::string> catalogue;

// What the player should see for an English text.
std::string translated(const char *english) {
  auto found = catalogue.find(english);
  return found == catalogue.end() ? english : found->second;
}

// The label's width at the size it is drawn at, within the room it has.
void expect_fits(const char *what, const char *text, Fl_Font font, int size, int room) {
  fl_font(font, size);
  EXPECT_LE(fl_width(text), room) << what << " \"" << text << "\" at " << size << " px";
}

// The tightest place of the menu row, printed for each screen and size.
void expect_menu_row(MainWin *w) {
  int tightest_size = 1000;
  std::string tightest;
  RowMenuBar *bar = w->menu_bar;
  const Fl_Menu_Item *item = bar->menu();
  int size = item->labelsize() ? item->labelsize() : bar->textsize();
  EXPECT_LE(bar->titles_width(size), bar->w()) << "menu titles at " << size << " px";
  for (int i = 0; menu_items[i].text || menu_items[i + 1].text; i++) {
    if (menu_items[i].text) {
      EXPECT_EQ(bar->menu()[i].text, translated(menu_items[i].text));
    }
  }
  // Alt and a letter opens each menu: one letter each, none shared.
  std::set<std::string> letters;
  for (const Fl_Menu_Item *title = bar->menu(); title->text; title = title->next()) {
    const char *mark = strchr(title->text, '&');
    ASSERT_TRUE(mark && mark[1]) << title->text;
    int n = fl_utf8len1(mark[1]);
    letters.insert(std::string(1, (char)tolower(mark[1])) + std::string(mark + 2, n - 1));
  }
  EXPECT_EQ(letters.size(), 3u);
  FitBox *boxes[2] = {(FitBox *)w->difficulty_box, (FitBox *)w->game->moves_box};
  for (const char *text : {"Stupid", "Medium", "No swap clears", "Top row full"})
    for (FitBox *box : boxes) {
      box->set_text(_(text));
      EXPECT_EQ(box->label(), translated(text));
      bool wrap;
      int fitted = box->fitted_size(wrap), room_w = box->w() - Fl::box_dw(box->box()) - 4,
          room_h = box->h() - Fl::box_dh(box->box());
      fl_font(box->labelfont(), fitted);
      int tw = wrap ? box->w() - Fl::box_dw(box->box()) : 0, th = 0;
      fl_measure(box->label(), tw, th, 0);
      EXPECT_TRUE(tw <= room_w && th <= room_h) << text << " at " << fitted << " px";
      if (fitted < tightest_size)
        tightest_size = fitted, tightest = std::string(box->label()) + (wrap ? ", wrapped" : "");
    }
  printf("  menu titles %d of %d px at %d px; boxes' smallest text %d px (\"%s\")\n",
         bar->titles_width(size), bar->w(), size, tightest_size, tightest.c_str());
}

void expect_result_button(Varnel *b) {
  for (int result : {1, -1}) {
    b->show_result(result);
    const char *english = result > 0 ? "You Win!" : "You Lose.";
    EXPECT_EQ(b->result_button->label(), translated(english));
    expect_fits("result", b->result_button->label(), b->result_button->labelfont(),
                b->result_button->labelsize(), b->result_button->w() - Fl::box_dw(FL_UP_BOX));
  }
  b->show_result(0);
}

// The toolkit's question dialog, with the game's own button texts.
void expect_dialog_buttons() {
  static int checked;
  checked = 0;
  auto look = [](void *) {
    Fl_Window *dialog = fl_message_icon()->window();
    if (!dialog->shown()) return;
    for (int i = 0; i < dialog->children(); i++)
      if (Fl_Button *button = dynamic_cast<Fl_Button *>(dialog->child(i)))
        if (button->visible() && button->label()) {
          expect_fits("button", button->label(), button->labelfont(), button->labelsize(),
                      button->w() - Fl::box_dw(button->box()));
          checked++;
        }
    dialog->hide();
  };
  Fl::add_check(look);
  fl_choice("%s", fl_cancel, _("Reset Records"), nullptr,
            _("Empty every page of your records? This cannot be undone."));
  Fl::remove_check(look);
  EXPECT_EQ(checked, 2);
  EXPECT_EQ(fl_cancel, translated("Cancel"));
  EXPECT_EQ(fl_close, translated("Close"));
}

void expect_help_windows() {
  Fl_Window *help = show_help(HelpPage::HOW_TO_PLAY);
  EXPECT_EQ(help->label(), translated("How to Play — Varnel"));
  Fl_Text_Display *display = (Fl_Text_Display *)help->child(0);
  char *text = display->buffer()->text();
  std::string first(text, strcspn(text, "\n"));
  free(text);
  EXPECT_EQ(first, translated(HOW_TO_PLAY_LINES[0]));
  Fl_Window *about = show_help(HelpPage::ABOUT);
  EXPECT_EQ(about->label(), translated("About Varnel"));
  // Every paragraph's wrapped text within its box; the button below them all.
  for (int i = 0; i < about->children(); i++) {
    Fl_Widget *line = about->child(i);
    int w = line->w(), h = 0;
    fl_font(line->labelfont(), line->labelsize());
    fl_measure(line->label(), w, h, 0);
    EXPECT_TRUE(w <= line->w() && h <= line->h()) << line->label();
    EXPECT_LE(line->y() + line->h(), about->h());
  }
  hide_help();
}

} // namespace

// Each screen: its text size and window; at the default size, then at the
// smallest the window allows.
TEST(Language, EveryTextIsTheCataloguesAndFits) {
  const char *language = getenv("LANGUAGE");
  ASSERT_TRUE(language);
  catalogue = read_po(std::string(PO_DIR) + "/" + language + ".po");
  if (strcmp(language, "en") != 0) {
    ASSERT_GT(catalogue.size(), 100u);
  }
  for (int scale : {1, 2}) {
    set_text_size(TEXT_SIZE * scale);
    MainWin *w = new MainWin(1, 800 * scale, 830 * scale, "Varnel test");
    main_window = w;
    Fl::check();
    for (bool smallest : {false, true}) {
      SCOPED_TRACE(testing::Message() << scale * 96 << " dpi" << (smallest ? ", smallest" : ""));
      if (smallest) w->resize(w->x(), w->y(), w->least_w, w->least_h);
      Fl::check();
      printf("%d dpi, %s window %d x %d:\n", scale * 96, smallest ? "smallest" : "default", w->w(),
             w->h());
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
