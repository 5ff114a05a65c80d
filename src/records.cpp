// The player's own records: counting a result, and the records' text.
#include "records.h"

#include <algorithm>
#include <sstream>

static const char VERSION_LINE[] = "varnel records 1";
// As the kept game's: far from the int's limit.
static const long long COUNT_MAX = 999999999;
// Dates up to the year 5000 or so.
static const long long DATE_MAX = 99999999999LL;
static const long long DEAL_LIMIT = 4294967295LL;

static void count_up(int &n) {
  if (n < COUNT_MAX) n++;
}

// Fewest moves first; among equals the older first, so a new win ranks
// below an equal one won before it.
static bool better(const WinRow &a, const WinRow &b) {
  return a.moves != b.moves ? a.moves < b.moves : a.date < b.date;
}

void apply_result(Records &records, const RecordResult &result) {
  if (result.event == EVENT_RESET) {
    records = Records();
    return;
  }
  if (result.page < 0 || result.page >= RECORD_PAGES) return;
  RecordPage &page = records.pages[result.page];
  if (result.event == EVENT_PLAYED || !result.counted) count_up(page.played);
  if (result.event == EVENT_LOST || result.event == EVENT_ABANDONED) page.streak = 0;
  if (result.event != EVENT_WON) return;
  count_up(page.won);
  page.played = std::max(page.played, page.won);
  count_up(page.streak);
  page.longest = std::max(page.longest, page.streak);
  page.win_moves = std::min(page.win_moves + std::max(result.win.moves, 0), COUNT_MAX * COUNT_MAX);
  auto at = std::upper_bound(page.best.begin(), page.best.end(), result.win, better);
  page.best.insert(at, result.win);
  if (page.best.size() > (size_t)BEST_WINS) page.best.pop_back();
}

std::string records_text(const Records &records) {
  std::string text = std::string(VERSION_LINE) + "\n";
  for (int p = 0; p < RECORD_PAGES; p++) {
    const RecordPage &page = records.pages[p];
    text += "page " + std::to_string(p) + " played " + std::to_string(page.played) + " won " +
            std::to_string(page.won) + " streak " + std::to_string(page.streak) + " longest " +
            std::to_string(page.longest) + " moves " + std::to_string(page.win_moves) + "\n";
    for (const WinRow &win : page.best)
      text += "win " + std::to_string(win.moves) + " " + std::to_string(win.date) + " " +
              (win.deal < 0 ? std::string("-") : std::to_string(win.deal)) + "\n";
  }
  return text + "end\n";
}

// The words of one line, split at single blanks.
static std::vector<std::string> words(const std::string &line) {
  std::vector<std::string> out;
  size_t at = 0;
  for (;;) {
    size_t blank = line.find(' ', at);
    out.push_back(line.substr(at, blank - at));
    if (blank == std::string::npos) return out;
    at = blank + 1;
  }
}

// A plain decimal number in 0..most.
static bool number(const std::string &word, long long most, long long &value) {
  if (word.empty() || word.size() > 18) return false;
  value = 0;
  for (char ch : word) {
    if (ch < '0' || ch > '9') return false;
    value = value * 10 + (ch - '0');
  }
  return value <= most;
}

static bool read_page(const std::vector<std::string> &w, int index, RecordPage &page) {
  static const char *const names[] = {"page", "played", "won", "streak", "longest", "moves"};
  long long v[6];
  if (w.size() != 12) return false;
  for (int i = 0; i < 6; i++)
    if (w[2 * i] != names[i] ||
        !number(w[2 * i + 1], i == 5 ? COUNT_MAX * COUNT_MAX : COUNT_MAX, v[i]))
      return false;
  page.played = (int)v[1], page.won = (int)v[2], page.streak = (int)v[3], page.longest = (int)v[4];
  page.win_moves = v[5];
  return v[0] == index && page.won <= page.played && page.streak <= page.longest &&
         page.longest <= page.won;
}

static bool read_win(const std::vector<std::string> &w, WinRow &win) {
  long long moves = 0, deal = -1;
  if (w.size() != 4 || w[0] != "win" || !number(w[1], COUNT_MAX, moves) ||
      !number(w[2], DATE_MAX, win.date) || (w[3] != "-" && !number(w[3], DEAL_LIMIT, deal)))
    return false;
  win.moves = (int)moves;
  win.deal = (long)deal;
  return true;
}

bool read_records_text(const std::string &text, Records *records) {
  if (text.size() > RECORDS_TEXT_MAX_BYTES || text.empty() || text.back() != '\n') return false;
  std::istringstream in(text);
  std::string line;
  Records read;
  int p = -1;
  if (!std::getline(in, line) || line != VERSION_LINE) return false;
  while (std::getline(in, line) && line != "end") {
    std::vector<std::string> w = words(line);
    if (w[0] == "page") {
      if (++p >= RECORD_PAGES || !read_page(w, p, read.pages[p])) return false;
      continue;
    }
    WinRow win;
    if (p < 0 || !read_win(w, win)) return false;
    std::vector<WinRow> &best = read.pages[p].best;
    if (best.size() >= (size_t)std::min(BEST_WINS, read.pages[p].won) ||
        (!best.empty() && better(win, best.back())))
      return false;
    best.push_back(win);
  }
  // "end" last, after every page.
  if (line != "end" || p != RECORD_PAGES - 1 || in.peek() != EOF) return false;
  *records = std::move(read);
  return true;
}
