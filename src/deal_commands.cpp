// Game -> Play Deal... and Today's Deal, and the deal in the window's title.
#include "deal_commands.h"
#include "language.h"

#include <FL/fl_ask.H>
#include <cstring>
#include <string>

#include "board.h"
#include "deal.h"
#include "dialogs.h"

static const char DEAL_PROMPT[] = N_("Deal number (0 to 4294967295):");

bool ask_deal_number(Fl_Window *over, long current, long &deal) {
  std::string prompt = _(DEAL_PROMPT);
  std::string typed = current >= 0 ? std::to_string(current) : "";
  for (;;) {
    prepare_dialog(over);
    const char *answer = fl_input("%s", typed.c_str(), prompt.c_str());
    if (!answer) return false;
    // The dialog's answer lives in a buffer of its own: copy it at once.
    typed = answer;
    std::string why = read_deal_number(typed.c_str(), deal);
    if (why.empty()) return true;
    prompt = why + "\n" + _(DEAL_PROMPT);
  }
}

void start_deal(Varnel *game, long deal) {
  game->next_deal = deal;
  game->Reset();
}

void show_deal_in_title(Fl_Window *win, long deal) {
  std::string title = deal_title(deal);
  if (!win->label() || title != win->label()) win->copy_label(title.c_str());
}
