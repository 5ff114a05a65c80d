// The command line's `--deal N [level]`.
#pragma once

#include <string>

struct DealArgs {
  bool given = false; // --deal came first on the command line
  long deal = -1;     // its number
  std::string error;  // why the arguments are refused, or ""
};

// Reads `--deal N` when it comes first, and takes it out of argc and argv,
// so the level argument, if any, comes first after the program's name as
// it does without a deal. A missing or bad number is refused, with a
// message for standard error.
DealArgs take_deal_args(int &argc, char **argv);
