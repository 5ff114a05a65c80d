// The command line: a level, --help or --version.
#include "command_line.h"
#include "language.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "rules.h"

// Text that begins with a decimal number, as strtol reads one: spaces, a
// sign, then a digit.
static bool begins_with_number(const char *arg) {
  while (isspace((unsigned char)*arg))
    arg++;
  if (*arg == '+' || *arg == '-') arg++;
  return isdigit((unsigned char)*arg);
}

StartRequest read_command_line(int argc, char **argv, bool &has_level, int &level) {
  has_level = false;
  if (argc < 2) return StartRequest::PLAY;
  const char *arg = argv[1];
  if (strcmp(arg, "--help") == 0) return StartRequest::HELP;
  if (strcmp(arg, "--version") == 0) return StartRequest::VERSION;
  if (!begins_with_number(arg)) return StartRequest::MISTAKE;
  has_level = true;
  level = parse_level(arg);
  return StartRequest::PLAY;
}

static void usage(FILE *out, const char *program) {
  fprintf(out,
          _("Usage: %s [LEVEL]\n"
            "       %s --deal N [LEVEL]\n"
            "Without LEVEL the game kept from the last run goes on.\n"
            "LEVEL starts a new game: 0 Easy, 1 Medium, 2 Hard, 3 Stupid.\n"
            "  --deal N   start deal number N (0 to 4294967295), the same\n"
            "             board and breeding on any machine\n"
            "  --help     show this and exit\n"
            "  --version  show the version and exit\n"),
          program, program);
}

int answer_command_line(StartRequest request, const char *program, const char *arg) {
  const char *name = strrchr(program, '/') ? strrchr(program, '/') + 1 : program;
  switch (request) {
  case StartRequest::HELP:
    usage(stdout, name);
    break;
  case StartRequest::VERSION:
    printf("varnel %s\n", VARNEL_VERSION);
    break;
  default:
    fprintf(stderr, _("%s: not a level: \"%s\"\n"), name, arg ? arg : "");
    usage(stderr, name);
    fflush(stderr);
    return 2;
  }
  return fflush(stdout) == 0 ? 0 : 1;
}
