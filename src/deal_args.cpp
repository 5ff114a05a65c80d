// The command line's `--deal N [level]`.
#include "deal_args.h"
#include "language.h"

#include <cstring>

#include "deal.h"

DealArgs take_deal_args(int &argc, char **argv) {
  DealArgs args;
  if (argc < 2 || strcmp(argv[1], "--deal") != 0) return args;
  args.given = true;
  if (argc < 3) {
    args.error = _("--deal needs a deal number, from 0 to 4294967295.");
    return args;
  }
  std::string why = read_deal_number(argv[2], args.deal);
  if (!why.empty()) {
    args.error = "--deal " + std::string(argv[2]) + ": " + why;
    return args;
  }
  for (int i = 3; i <= argc; i++) // argv[argc] is the null that ends it
    argv[i - 2] = argv[i];
  argc -= 2;
  return args;
}
