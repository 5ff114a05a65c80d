#!/usr/bin/env bash
# Runs a command on a private Xvfb display, started here and stopped after.
# VARNEL_XVFB_SCREEN sets the screen (default 1280x1024x24), and
# VARNEL_XVFB_ARGS adds arguments to the server's command line. The server
# does not reset when its last client leaves: a test that quits the game
# and starts it again at once must find it answering.
set -u
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkfifo "$dir/display"
# shellcheck disable=SC2086
Xvfb -displayfd 3 -screen 0 "${VARNEL_XVFB_SCREEN:-1280x1024x24}" -noreset -nolisten tcp \
  ${VARNEL_XVFB_ARGS:-} 3>"$dir/display" 2>"$dir/xvfb.log" &
xvfb=$!
if ! read -r -t 20 number <"$dir/display"; then
  echo "with-xvfb: Xvfb did not start" >&2
  cat "$dir/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$number"
# The game's settings, kept game and records stay in here too, never in the
# user's ~/.config, ~/.local/state or ~/.local/share.
export XDG_CONFIG_HOME=$dir/config XDG_STATE_HOME=$dir/state XDG_DATA_HOME=$dir/data
"$@"
rc=$?
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
exit $rc
