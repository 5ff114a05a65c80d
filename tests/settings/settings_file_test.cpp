// The settings file: what the reader makes of any text, and the file on
// disk when it is missing, garbled, too large, not a file, or cannot be
// written, under an XDG_CONFIG_HOME of the test's own; the kept game's file
// likewise, under an XDG_STATE_HOME of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "kept_files.h"
#include "kept_game.h"
#include "settings.h"

namespace {

TEST(SettingsText, KnownKeysAreReadAndOtherTextLinesKept) {
  const struct {
    std::string text;
    bool sound, symbols;
    std::vector<std::string> kept;
  } cases[] = {
      {"", true, false, {}},
      {"sound=off\nsymbols=on\n", false, true, {}},
      {" symbols = on \r\nsound=maybe\nsound=off\nsound=on", true, true, {"sound=maybe"}},
      {"# mine\ncolour=blue\n\nsound=off\n", false, false, {"# mine", "colour=blue", ""}},
      {std::string("\x01\x7f\xff\0garbage\nsound=off\nSOUND=on\r\n", 32),
       false,
       false,
       {std::string("\x01\x7f\xff\0garbage", 11), "SOUND=on\r"}},
      {"sound=off\n" + std::string(SETTINGS_MAX_BYTES, '#'), true, false, {}}, // too large
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.text.substr(0, 40));
    Settings s = parse_settings(c.text);
    EXPECT_TRUE(s.sound == c.sound && s.symbols == c.symbols);
    EXPECT_EQ(s.other_lines, c.kept);
  }
}

TEST(SettingsFile, HostileFilesGiveTheDefaultsAndOnlyTheChangeIsEverLost) {
  char tmpl[] = "/tmp/varnel-settings-XXXXXX";
  std::string dir = mkdtemp(tmpl), file = dir + "/varnel/settings";
  // A relative XDG_CONFIG_HOME counts as unset.
  setenv("XDG_CONFIG_HOME", "relative", 1);
  setenv("HOME", dir.c_str(), 1);
  EXPECT_EQ(settings_path(), dir + "/.config/varnel/settings");
  setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
  // Missing: the defaults. Saved: the directory made, private.
  EXPECT_TRUE(load_settings().sound);
  Settings changed;
  changed.sound = false;
  ASSERT_TRUE(save_settings(changed));
  struct stat st;
  EXPECT_TRUE(stat((dir + "/varnel").c_str(), &st) == 0 && (st.st_mode & 0777) == 0700);
  EXPECT_EQ(read_text(file), "sound=off\nsymbols=off\nlevel=1\narrows=off\n");
  // Lines that are not ours stay.
  // (A newer value of a switch the player has just changed goes.)
  std::ofstream(file) << "future=1\nsymbols=on\nsound=quiet\n# note\n";
  ASSERT_TRUE(save_settings(changed));
  EXPECT_EQ(read_text(file), "sound=off\nsymbols=off\nlevel=1\narrows=off\nfuture=1\n# note\n");
  // Too large, or a FIFO that nobody writes: the defaults, at once.
  std::ofstream(file) << "sound=off\n" << std::string(SETTINGS_MAX_BYTES, '\n');
  EXPECT_TRUE(load_settings().sound);
  std::filesystem::remove(file);
  ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
  EXPECT_TRUE(load_settings().sound);
  // Nowhere to write: one line, and the file in the way untouched.
  setenv("XDG_CONFIG_HOME", (dir + "/varnel/settings").c_str(), 1);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(save_settings(changed));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "varnel: cannot save the settings in " + file + "/varnel/settings: Not a directory\n");
  EXPECT_TRUE(std::filesystem::is_fifo(file));
  std::filesystem::remove_all(dir);
}

// A settings file linked from elsewhere was replaced by a file of its own,
// and the file linked to never changed.
TEST(SettingsFile, LinkedFileStaysALink) {
  char tmpl[] = "/tmp/varnel-settings-XXXXXX";
  std::string dir = mkdtemp(tmpl), real = dir + "/dotfiles-settings";
  setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
  std::ofstream(real) << "symbols=on\n";
  ASSERT_EQ(mkdir((dir + "/varnel").c_str(), 0700), 0);
  ASSERT_EQ(symlink(real.c_str(), (dir + "/varnel/settings").c_str()), 0);
  Settings changed;
  changed.sound = false;
  ASSERT_TRUE(save_settings(changed));
  EXPECT_TRUE(std::filesystem::is_symlink(dir + "/varnel/settings"));
  EXPECT_EQ(read_text(real), "sound=off\nsymbols=off\nlevel=1\narrows=off\n");
  // A link to a file that is no settings file (too large), or into a
  // directory that others may write (dotfiles at mode 0775, from umask 002),
  // was replaced by a file of its own, silently: the target is neither read
  // nor written, the link stays, and one line says why.
  std::string big = dir + "/big", text(118 * 1024, '#');
  std::ofstream(big) << text;
  ASSERT_EQ(mkdir((dir + "/dotfiles").c_str(), 0775) | chmod((dir + "/dotfiles").c_str(), 0775), 0);
  std::ofstream(dir + "/dotfiles/varnel.conf") << "symbols=on\n";
  const struct {
    std::string to, why;
  } refused[] = {
      {big, "it links to a file that is not a settings file of yours"},
      {"../dotfiles/varnel.conf", "it links into a directory that is not yours alone"},
  };
  for (const auto &c : refused) {
    std::string line = "the settings in " + dir + "/varnel/settings: " + c.why + "\n";
    std::string target = c.to[0] == '/' ? c.to : dir + "/dotfiles/varnel.conf",
                before = read_text(target);
    ASSERT_EQ(unlink((dir + "/varnel/settings").c_str()), 0);
    ASSERT_EQ(symlink(c.to.c_str(), (dir + "/varnel/settings").c_str()), 0);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(load_settings().symbols);
    EXPECT_FALSE(save_settings(changed));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "varnel: not reading " + line + "varnel: cannot save " + line);
    EXPECT_TRUE(std::filesystem::is_symlink(dir + "/varnel/settings"));
    EXPECT_EQ(read_text(target), before);
  }
  // A link in a directory that others may write or that is not the
  // player's is not written through either.
  ASSERT_EQ(unlink((dir + "/varnel/settings").c_str()), 0);
  ASSERT_EQ(symlink(real.c_str(), (dir + "/varnel/settings").c_str()), 0);
  changed.symbols = true;
  for (int other_user : {0, 1}) {
    if (other_user ? chown((dir + "/varnel").c_str(), 64101, 64101) != 0 || geteuid() != 0
                   : chmod((dir + "/varnel").c_str(), 0777) != 0)
      continue;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(save_settings(changed));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "varnel: cannot save the settings in " + dir +
                  "/varnel/settings: its directory is not yours alone\n");
    EXPECT_EQ(read_text(real), "sound=off\nsymbols=off\nlevel=1\narrows=off\n");
    chmod((dir + "/varnel").c_str(), 0700);
  }
  std::filesystem::remove_all(dir);
}

// The kept game comes back whole. Anything else under its name gives no game
// at once, so the start deals, and is moved aside, never read through a link
// or waited on; where it cannot be kept, one line says so.
TEST(KeptGame, HostileFilesGiveANewGameAndAreMovedAside) {
  char tmpl[] = "/tmp/varnel-state-XXXXXX";
  std::string dir = mkdtemp(tmpl), file = dir + "/varnel/game", bad = file + ".bad";
  setenv("XDG_STATE_HOME", dir.c_str(), 1);
  GameRecord game, read;
  game.moves = 7;
  game.difficulty = 3;
  game.arrow_mode = true;
  for (int r = 0; r < BOARD_ROWS; r++)
    for (int c = 0; c < BOARD_COLS; c++) {
      game.board.cells[r][c] = r == c ? CELL_DEAD : (r + c) % 13 - 1;
      game.board.directions[r][c] = (r * c) % 8;
    }
  game.undo.assign(UNDO_LIMIT, game.board);
  // Copies that kills left half made piled up for ever. The start removes
  // those of processes no longer running: regular files of the player's,
  // not a link, nor those of a running process.
  pid_t ended = fork();
  if (ended == 0) _exit(0);
  waitpid(ended, nullptr, 0);
  std::string gone = "game." + std::to_string(ended), running = "game." + std::to_string(getppid());
  ASSERT_EQ(mkdir((dir + "/varnel").c_str(), 0700), 0);
  for (std::string name : {gone + ".0", gone + ".2", running + ".0", gone + ".x", gone + ".1"})
    std::ofstream(dir + "/varnel/" + name) << "half";
  ASSERT_EQ(rename((dir + "/varnel/" + gone + ".1").c_str(), (dir + "/elsewhere").c_str()), 0);
  ASSERT_EQ(symlink("../elsewhere", (dir + "/varnel/" + gone + ".1").c_str()), 0);
  std::set<std::string> left = {running + ".0", gone + ".x", gone + ".1"};
  if (chown((dir + "/varnel/" + gone + ".2").c_str(), 64101, 64101) == 0) left.insert(gone + ".2");
  EXPECT_FALSE(load_kept_game(&read));
  std::set<std::string> names;
  for (const auto &entry : std::filesystem::directory_iterator(dir + "/varnel"))
    names.insert(entry.path().filename());
  EXPECT_EQ(names, left);
  EXPECT_EQ(read_text(dir + "/elsewhere"), "half");
  std::string text = game_text(game);
  keep_game_text(text);
  finish_keeping_game();
  ASSERT_TRUE(load_kept_game(&read));
  EXPECT_EQ(game_text(read), text);
  const std::vector<HostileFile> cases =
      hostile_files(file, text,
                    {
                        {"garbled", "varnel game 1\nlevel 9\n"},
                        {"truncated", text.substr(0, text.size() - 2)},
                        {"oversized", text + std::string(text.size(), '\n')},
                    });
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(file);
    std::filesystem::remove_all(bad);
    if (!c.make()) continue; // another user's file needs root
    EXPECT_FALSE(load_kept_game(&read));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(file)));
    EXPECT_EQ(std::filesystem::exists(std::filesystem::symlink_status(bad)), c.what != "missing");
  }
  std::ofstream(dir + "/plain") << "";
  setenv("XDG_STATE_HOME", (dir + "/plain").c_str(), 1);
  testing::internal::CaptureStderr();
  game.moves = 8;
  keep_game_text(game_text(game));
  finish_keeping_game();
  game.moves = 9;
  keep_game_text(game_text(game));
  finish_keeping_game();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "varnel: cannot keep the game in " + dir + "/plain/varnel: Not a directory\n");
  std::filesystem::remove_all(dir);
}

} // namespace
