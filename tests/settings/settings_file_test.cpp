// The settings file: what the reader makes of any text, and the file on
// disk when it is missing, garbled, too large, not a file, or cannot be
// written. Every case has a temporary XDG_CONFIG_HOME of its own.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "settings.h"

namespace {

using Lines = std::vector<std::string>;

std::string read_text(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_text(const std::string &path, const std::string &text) {
  std::ofstream(path, std::ios::binary) << text;
}

TEST(SettingsText, KnownKeysAreReadAndOtherTextLinesKept) {
  const struct {
    std::string text;
    bool sound, symbols;
    Lines kept;
  } cases[] = {
      {"", true, false, {}},
      {"sound=off\nsymbols=on\n", false, true, {}},
      {" symbols = on \r\nsound=maybe\nsound=off\nsound=on", true, true, {}},
      {"# mine\ncolour=blue\n\nsound=off\n", false, false, {"# mine", "colour=blue", ""}},
      {std::string("\x01\x7f\xff\0garbage\nsound=off\nSOUND=on\n", 31), false, false, {"SOUND=on"}},
      {"sound=off\n" + std::string(SETTINGS_MAX_BYTES, '#'), true, false, {}}, // too large
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.text.substr(0, 40));
    Settings s = parse_settings(c.text);
    EXPECT_EQ(s.sound, c.sound);
    EXPECT_EQ(s.symbols, c.symbols);
    EXPECT_EQ(s.other_lines, c.kept);
  }
}

class SettingsFile : public ::testing::Test {
protected:
  std::string dir, config, file;
  void SetUp() override {
    char tmpl[] = "/tmp/varnel-settings-XXXXXX";
    dir = mkdtemp(tmpl);
    config = dir + "/config";
    file = config + "/varnel/settings";
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("HOME", (dir + "/home").c_str(), 1);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
};

// A relative or empty XDG_CONFIG_HOME counts as unset.
TEST_F(SettingsFile, PathFollowsTheBaseDirectoryRules) {
  EXPECT_EQ(settings_path(), file);
  for (const char *unset : {"", "relative/config"}) {
    setenv("XDG_CONFIG_HOME", unset, 1);
    EXPECT_EQ(settings_path(), dir + "/home/.config/varnel/settings");
  }
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("HOME");
  EXPECT_EQ(settings_path(), "");
}

// Missing, too large or not a file: the defaults. A save makes the
// directories (0700) and keeps the lines that are not ours.
TEST_F(SettingsFile, HostileFilesGiveTheDefaultsAndSavesKeepOtherLines) {
  Settings defaults = load_settings();
  EXPECT_TRUE(defaults.sound && !defaults.symbols);
  Settings changed;
  changed.sound = false;
  ASSERT_TRUE(save_settings(changed));
  struct stat st;
  ASSERT_EQ(stat((config + "/varnel").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(read_text(file), "sound=off\nsymbols=off\n");

  write_text(file, "future=1\nsymbols=on\n# note\n");
  Settings read = load_settings();
  EXPECT_TRUE(read.sound && read.symbols);
  read.sound = false;
  ASSERT_TRUE(save_settings(read));
  EXPECT_EQ(read_text(file), "sound=off\nsymbols=on\nfuture=1\n# note\n");

  write_text(file, "symbols=on\n" + std::string(SETTINGS_MAX_BYTES, '\n'));
  EXPECT_FALSE(load_settings().symbols);
  std::filesystem::remove(file);
  ASSERT_EQ(mkfifo(file.c_str(), 0600), 0); // nobody writes it: a read would wait for ever
  EXPECT_FALSE(load_settings().symbols);
}

// Where no file can be made, only the change is lost, with one line.
TEST_F(SettingsFile, UnwritablePlaceLosesOnlyTheChange) {
  write_text(dir + "/plain", "");
  setenv("XDG_CONFIG_HOME", (dir + "/plain").c_str(), 1);
  fflush(stderr);
  int saved = dup(2);
  FILE *err = fopen((dir + "/stderr").c_str(), "w");
  dup2(fileno(err), 2);
  fclose(err);
  bool saved_ok = save_settings(Settings());
  fflush(stderr);
  dup2(saved, 2);
  close(saved);
  EXPECT_FALSE(saved_ok);
  EXPECT_EQ(read_text(dir + "/stderr"), "varnel: cannot save the settings in " + dir +
                                            "/plain/varnel/settings: Not a directory\n");
  EXPECT_EQ(read_text(dir + "/plain"), "");
}

} // namespace
