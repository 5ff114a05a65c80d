#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it in the directory
# that holds its sounds and its top_scores.txt. Arguments go to the game.
set -eu
VARNEL_ROOT=$(cd "$(dirname "$0")" && pwd)
. "$VARNEL_ROOT/tools/deps.sh"
# shellcheck disable=SC2086
install_packages $VARNEL_PACKAGES
build_tree build >/dev/null
if ! xdpyinfo >/dev/null 2>&1; then
  echo "varnel: no X display to open (DISPLAY='${DISPLAY:-}'); start it from a desktop session." >&2
  exit 1
fi
mkdir -p "$VARNEL_ROOT/build/sounds"
cd "$VARNEL_ROOT/build/sounds"
exec ../varnel "$@"
