// Where the game's message catalogues are, and the toolkit's texts.
#include "language.h"

#include <FL/fl_ask.H>
#include <cctype>
#include <clocale>
#include <climits>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

static const char DOMAIN[] = "varnel";

static bool is_directory(const std::string &path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The directory of the running executable, or "".
static std::string executable_dir() {
  char path[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "";
  std::string exe(path, (size_t)n);
  return exe.substr(0, exe.rfind('/'));
}

// The build tree puts the catalogues in "locale" beside the game; the
// installed tree has them at the same place relative to the game under any
// prefix.
static void find_catalogues() {
  std::string dir = executable_dir();
  if (dir.empty()) return;
  for (const std::string &place : {dir + "/locale", dir + "/" + VARNEL_LOCALE_FROM_GAME})
    if (is_directory(place)) {
      bindtextdomain(DOMAIN, place.c_str());
      return;
    }
}

static std::string language_in_use;

// The catalogue's header names its language ("Language: pt_BR"). Its
// entry is the empty text's, passed by name so that xgettext does not take
// it for a text of the game.
static const char HEADER_ENTRY[] = "";

static std::string language_of_catalogue() {
  std::string header = gettext(HEADER_ENTRY);
  size_t at = header.find("Language: ");
  if (at == std::string::npos) return "";
  std::string code = header.substr(at + 10, header.find('\n', at) - at - 10);
  for (char &ch : code)
    ch = ch == '_' ? '-' : (char)tolower((unsigned char)ch);
  return code;
}

const char *catalogue_language() {
  return language_in_use.c_str();
}

void start_language() {
  setlocale(LC_MESSAGES, "");
  setlocale(LC_CTYPE, "");
  find_catalogues();
  // The toolkit draws UTF-8, whatever the locale's own character set.
  bind_textdomain_codeset(DOMAIN, "UTF-8");
  textdomain(DOMAIN);
  language_in_use = language_of_catalogue();
  fl_ok = _("OK");
  fl_cancel = _("Cancel");
  fl_close = _("Close");
  fl_yes = _("Yes");
  fl_no = _("No");
}
