#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it in the directory
# that holds its sounds and its top_scores.txt. Arguments go to the game.
set -eu
VARNEL_ROOT=$(cd "$(dirname "$0")" && pwd)
. "$VARNEL_ROOT/tools/deps.sh"
# shellcheck disable=SC2086
install_packages $VARNEL_PACKAGES

# Shows the build's steps: on a terminal as one line that is rewritten,
# otherwise one line each.
show_progress() {
  local line shown=""
  while IFS= read -r line; do
    case $line in
      \[*\]*)
        if [ -t 1 ]; then
          printf '\r\033[K%s' "${line:0:79}"
          shown=1
        else
          printf '%s\n' "$line"
        fi
        ;;
    esac
  done
  [ -z "$shown" ] || printf '\n'
}

# Only the game and its sounds: the tests are built by test.sh.
echo "Building the game in build/ (the first time takes up to a minute)"
cmake -S "$VARNEL_ROOT" -B "$VARNEL_ROOT/build" >/dev/null
set -o pipefail
if ! cmake --build "$VARNEL_ROOT/build" -j"$(nproc)" --target varnel sounds | show_progress; then
  echo "varnel: the build failed" >&2
  exit 1
fi
set +o pipefail

if ! xdpyinfo >/dev/null 2>&1; then
  echo "varnel: no X display to open (DISPLAY='${DISPLAY:-}'); start it from a desktop session." >&2
  exit 1
fi
mkdir -p "$VARNEL_ROOT/build/sounds"
cd "$VARNEL_ROOT/build/sounds"
exec ../varnel "$@"
