// The command line: a level, --help or --version.
#pragma once

// What the command line asks for.
enum class StartRequest {
  PLAY,    // play: the kept game, or a new game at the level given
  HELP,    // print the usage on standard output, exit 0
  VERSION, // print the version on standard output, exit 0
  MISTAKE  // print the usage on standard error, exit 2
};

// Reads the first argument (the others are ignored): none, a level number
// (one that begins with a decimal number, clamped to 0..3), --help or
// --version. Anything else, a typo such as "hard" included, is a mistake:
// it must not deal a game over the kept one. Sets level for a level number,
// has_level whether one was given.
StartRequest read_command_line(int argc, char **argv, bool &has_level, int &level);

// Prints the usage or the version for a request other than PLAY (for a
// mistake, naming the argument arg), and returns the exit status to end
// with.
int answer_command_line(StartRequest request, const char *program, const char *arg);
