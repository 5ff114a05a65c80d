#!/usr/bin/env bash
# The X server killed under a running game: once while it is idle, once
# while its first deal is still being cleared on the screen. Each case runs
# on an Xvfb of its own, which the test kills. The game must say so in the
# toolkit's one line and be gone within about 2 s with a non-zero status; a
# sound thread asleep at that moment used to keep the process for ever.
#   lost_display_test.sh PROGRAM SOUND_DIR
set -u
program=$1
sounds=$2
work=$(mktemp -d)
export XDG_CONFIG_HOME=$work/config
xvfb=""
game=""
cleanup() {
  [ -n "$game" ] && kill -KILL "$game" 2>/dev/null
  [ -n "$xvfb" ] && kill -TERM "$xvfb" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0

start_x() {
  rm -f "$work/display"
  mkfifo "$work/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -noreset -nolisten tcp 3>"$work/display" 2>/dev/null &
  xvfb=$!
  read -r -t 20 number <"$work/display" || return 1
  export DISPLAY=":$number"
}

# lost_display NAME WAIT: starts the game, waits until its window is mapped
# and then WAIT seconds more, kills the X server and checks the end.
lost_display() {
  local name=$1 pause=$2 dir="$work/$1"
  mkdir -p "$dir"
  cp "$sounds"/*.wav "$dir"
  echo "pcm.!default { type file; slave { pcm { type null } } file \"$dir/out.raw\"; format \"raw\" }" \
    >"$dir/alsa.conf"
  start_x || { echo "FAIL: $name: Xvfb did not start"; failures=$((failures + 1)); return; }
  (cd "$dir" && ALSA_CONFIG_PATH="$dir/alsa.conf" XDG_STATE_HOME="$dir/state" exec "$program") 2>"$dir/stderr" &
  game=$!
  local tries=0
  until xdotool search --onlyvisible --name '^Varnel$' >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ $tries -lt 3000 ] || break
    sleep 0.01
  done
  sleep "$pause"
  kill -KILL "$xvfb"
  wait "$xvfb" 2>/dev/null
  xvfb=""
  # A killed server leaves its lock and socket behind.
  rm -f "/tmp/.X$number-lock" "/tmp/.X11-unix/X$number"
  local waited=0
  while kill -0 "$game" 2>/dev/null && [ $waited -lt 20 ]; do
    sleep 0.1
    waited=$((waited + 1))
  done
  if kill -0 "$game" 2>/dev/null; then
    echo "FAIL: $name: the game still runs 2 s after its display went"
    failures=$((failures + 1))
    return
  fi
  local status=0
  wait "$game" || status=$?
  game=""
  if [ "$status" -ne 0 ] && [ "$(head -n 1 "$dir/stderr")" = "X I/O error" ]; then
    echo "ok: $name: ended with status $status and \"X I/O error\""
  else
    echo "FAIL: $name: status $status, stderr:"
    sed 's/^/  | /' "$dir/stderr"
    failures=$((failures + 1))
  fi
}

lost_display while-the-first-deal-clears 0
lost_display "idle" 1
[ "$failures" -eq 0 ]
