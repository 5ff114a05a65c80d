# shellcheck shell=bash
# Sourced by the install tests: their first argument is the build directory.
# Gives a temporary directory, checks that count failures, an install of the
# build tree, and a way to start the real game and quit it through its menu.
set -u
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
checks=0

# The languages the game ships catalogues for.
# shellcheck disable=SC2034
LANGUAGES=$(cat "$(dirname "${BASH_SOURCE[0]}")/../../po/LINGUAS")

# The nine sound files, as the game names them; used by the tests.
# shellcheck disable=SC2034
SOUNDS="pop.wav blop.wav fanfare.wav sad.wav thump.wav pan.wav ding.wav bell.wav honk.wav"

# check DESCRIPTION COMMAND...: runs COMMAND and counts it as passed or failed.
check() {
  local what=$1
  shift
  checks=$((checks + 1))
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAIL: $what"
    failures=$((failures + 1))
  fi
}

# same ACTUAL EXPECTED: compares two strings and shows both when they differ.
same() {
  [ "$1" = "$2" ] && return 0
  printf '  expected: %s\n  actual:   %s\n' "$2" "$1"
  return 1
}

# Ends the test with ctest's verdict.
finish() {
  echo "$((checks - failures)) passed, $failures failed"
  [ "$failures" -eq 0 ]
  exit
}

# install_to PREFIX: installs the build tree as `cmake --install` does.
install_to() {
  cmake --install "$build" --prefix "$1" >"$work/install.log" 2>&1 || {
    cat "$work/install.log"
    return 1
  }
}

# Lists the files and links under a directory, one relative path a line.
tree_of() {
  (cd "$1" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
}

# start_game LOG COMMAND...: starts COMMAND (the launcher) in the background
# and waits until it has mapped a window titled Varnel on $DISPLAY, or has
# ended. Sets game_pid and game_window (empty when no window came up); the
# game's output goes to LOG, shown when it fails.
start_game() {
  game_log=$1
  shift
  "$@" >"$game_log" 2>&1 &
  game_pid=$!
  game_window=""
  while [ -z "$game_window" ] && kill -0 "$game_pid" 2>/dev/null; do
    game_window=$(xdotool search --onlyvisible --name '^Varnel' 2>/dev/null | head -n 1)
    [ -n "$game_window" ] || sleep 0.1
  done
  [ -n "$game_window" ]
}

# quit_game: picks Game -> Quit and returns the game's exit status.
quit_game() {
  local before
  before=$(xdotool search --onlyvisible --name '' 2>/dev/null | sort)
  xdotool mousemove --window "$game_window" 20 15 click 1
  # The menu opens as a window of its own; keys go to it once it is mapped.
  while kill -0 "$game_pid" 2>/dev/null &&
    [ "$(xdotool search --onlyvisible --name '' 2>/dev/null | sort)" = "$before" ]; do
    sleep 0.05
  done
  xdotool key Down key Return
  local status=0
  wait "$game_pid" || status=$?
  [ "$status" -eq 0 ] || sed 's/^/  | /' "$game_log"
  return "$status"
}

# as_player COMMAND...: runs COMMAND as an ordinary user, so that file
# permissions apply to it even when the tests run as root.
as_player() {
  if [ "$(id -u)" -eq 0 ]; then
    setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$@"
  else
    "$@"
  fi
}
