// Deal numbers: seeding a deal, reading a typed number, the day's deal and
// the generator's state.
#include "deal.h"
#include "language.h"

#include <cctype>
#include <cstdlib>

long seed_deal(long &wanted, int directions[BOARD_ROWS][BOARD_COLS]) {
  long deal = wanted >= 0 ? wanted : (long)(unsigned)(int)time(nullptr);
  wanted = DEAL_UNKNOWN;
  // The tiles' arrows were drawn from the same seed when the board was
  // built, in the same order: a first game deals as it always did.
  srand48(deal);
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++)
      directions[r][c] = (int)(drand48() * 8);
  srand48(deal);
  return deal;
}

std::string read_deal_number(const char *text, long &number) {
  const char *p = text ? text : "";
  while (isspace((unsigned char)*p))
    p++;
  const char *digits = p;
  long n = 0;
  bool too_large = false;
  for (; isdigit((unsigned char)*p); p++) {
    n = n * 10 + (*p - '0');
    if (n > DEAL_MAX) too_large = true, n = DEAL_MAX + 1;
  }
  const char *end = p;
  while (isspace((unsigned char)*p))
    p++;
  if (end == digits && *p == '\0') return _("No deal number was given.");
  if (end == digits || *p != '\0')
    return _("A deal number is a whole number from 0 to 4294967295, digits only.");
  if (too_large) return _("That is too large: deal numbers go up to 4294967295.");
  number = n;
  return "";
}

long todays_deal(time_t when) {
  struct tm day;
  gmtime_r(&when, &day);
  return (day.tm_year + 1900L) * 10000 + (day.tm_mon + 1) * 100 + day.tm_mday;
}

// seed48 sets the state and hands back the old one: set it back at once.
DealState generator_state() {
  unsigned short probe[3] = {0, 0, 0};
  unsigned short *old = seed48(probe);
  DealState state = {{old[0], old[1], old[2]}};
  seed48(state.x);
  return state;
}

void restore_generator(const DealState &state) {
  DealState copy = state;
  seed48(copy.x);
}

std::string deal_title(long deal) {
  if (deal < 0) return "Varnel";
  char title[128];
  snprintf(title, sizeof title, _("Varnel \xe2\x80\x94 deal %ld"), deal);
  return title;
}
