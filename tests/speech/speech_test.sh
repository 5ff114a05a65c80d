#!/usr/bin/env bash
# Speech, played by ear from outside on the test's Xvfb: a real
# speech-dispatcher of the test's own (runtime directory, configuration,
# log at level 5, espeak-ng into a file-writing ALSA device) must receive
# the texts of focus moves and a move in order; the same game goes on
# silent when that server is killed and speaks again once one is back; a
# server that never answers leaves the game playing and quitting at once;
# without the library the game says so in a dialog and changes nothing else.
#   speech_test.sh PROGRAM SOUND_DIR
set -u
program=$(realpath "$1")
sounds=$2
library=$(ldconfig -p | awk '/libspeechd\.so\.2 / {print $NF; exit}')
if ! command -v speech-dispatcher >/dev/null || [ -z "$library" ]; then
  echo "SKIP: speech-dispatcher is not installed (apt install speech-dispatcher speech-dispatcher-espeak-ng)"
  exit 77
fi
work=$(mktemp -d)
pids=()
wrap=()
trap 'kill -KILL "${pids[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
poll() { for _ in $(seq 300); do eval "$1" && return 0; sleep 0.02; done; return 1; }

# A board at rest: rows 0-3 dead but in the last column, then four colours
# that never make a match; a purple at row 20, column 6 swapped with the
# sand beside it completes four sand in column 6.
kept_game() {
  mkdir -p "$1/state" && mkdir -m 700 "$1/state/varnel"
  awk 'BEGIN {
    print "varnel game 1\nlevel 1\narrows 0\nmoves 0"
    for (r = 0; r < 20; r++) {
      for (c = 0; c < 20; c++) {
        cell = r < 4 && c < 19 ? "#" : substr("abcd", (r + 2 * c) % 4 + 1, 1)
        printf "%s0", (c == 5 && r >= 16 && r < 19) || (c == 6 && r == 19) ? "e" : cell
      }
      print ""
    }
    print "undo 0\nend"
  }' >"$1/state/varnel/game"
}

# start_server DIR: a private speech-dispatcher listening on DIR/socket.
start_server() {
  mkdir -p "$1/home" "$1/log" && mkdir -m 700 "$1/run" 2>/dev/null
  [ -d "$1/conf" ] || cp -r /etc/speech-dispatcher "$1/conf"
  sed -i 's/^#* *AudioOutputMethod .*/AudioOutputMethod "alsa"/' "$1/conf/speechd.conf"
  echo "pcm.!default { type file; slave.pcm { type null }; file \"$1/heard.raw\"; format \"raw\" }" \
    >"$1/home/.asoundrc"
  HOME=$1/home XDG_RUNTIME_DIR=$1/run ALSA_CONFIG_PATH=$1/home/.asoundrc speech-dispatcher -s -t 0 \
    -l 5 -L "$1/log" -C "$1/conf" -S "$1/socket" -c unix_socket >"$1/server.out" 2>&1 &
  server=$!
  pids+=("$server")
  poll "[ -S '$1/socket' ]" || fail "the speech server did not start"
}

# start_game DIR [SETTINGS]: the game in DIR, keeping its game and settings there.
start_game() {
  mkdir -p "$1/config/varnel"
  cp "$sounds"/*.wav "$1"
  [ -n "${2:-}" ] && echo "$2" >"$1/config/varnel/settings"
  (cd "$1" && XDG_CONFIG_HOME=$1/config XDG_STATE_HOME=$1/state exec "${wrap[@]}" "$program") \
    2>"$1/stderr" &
  game=$!
  pids+=("$game")
  window=$(timeout 6 xdotool search --sync --onlyvisible --pid "$game" --name '^Varnel$' 2>/dev/null |
    head -1)
  [ -n "$window" ] || fail "no game window"
  # A click on the top left tile, dead, gives it the keyboard's focus.
  xdotool mousemove --window "$window" 20 50 click 1
}
keys() { xdotool key --delay 30 "$@"; }
# The texts the server received, one a line.
heard() { grep -ho 'DATA:|.*' "$1"/log/speech-dispatcher.log 2>/dev/null | cut -c7- | tr -d '\r'; }
in_order() {
  heard "$1" | awk -v list="$2" 'BEGIN {n = split(list, want, "\n"); i = 1}
    i <= n && $0 == want[i] {i++} END {exit i <= n}'
}
# heard_in_order DIR TEXT...: the server received these lines in this order.
heard_in_order() {
  local dir=$1 list
  shift
  list=$(printf '%s\n' "$@")
  for _ in $(seq 300); do in_order "$dir" "$list" && return 0; sleep 0.02; done
  fail "not heard in order: $*"
  heard "$dir" | grep -v '^[A-Z][A-Z]* \|^\.$\|^speak$' | tail -15
}
# quit_within DIR: Ctrl+Q ends the game within a second (SPEECH_QUIT_SECONDS
# in a thread-sanitizer build, several times slower), with status 0.
quit_within() {
  local start=$EPOCHREALTIME bound=${SPEECH_QUIT_SECONDS:-1}
  keys ctrl+q
  for _ in $(seq $((bound * 50))); do kill -0 "$game" 2>/dev/null || break; sleep 0.02; done
  kill -0 "$game" 2>/dev/null && fail "$1: still running $bound s after Quit"
  wait "$game" || fail "$1: exit status $?"
  # One line of its own, and nothing from a sanitizer.
  [ "$(wc -l <"$work/$1/stderr")" = 1 ] || fail "$1: stderr: $(cat "$work/$1/stderr")"
  echo "$1: quit took $(awk "BEGIN {print $EPOCHREALTIME - $start}") s"
}

# The whole road, by keys alone, then the server killed and started again.
s=$work/spoken && mkdir -p "$s" && kept_game "$s" && start_server "$s"
SPEECHD_ADDRESS=unix_socket:$s/socket start_game "$s" speech=on
mapfile -t walk < <(printf 'Down\n%.0s' $(seq 19); printf 'Right\n%.0s' $(seq 5))
keys "${walk[@]}"
keys space Right
heard_in_order "$s" "Speech on" "Medium, swap mode, 0 moves, top row full" \
  "row 1, column 1, dead" "row 20, column 6, purple" "row 20, column 7, sand"
keys space
heard_in_order "$s" "4 tiles cleared, move 1, 1 empty cell in the top row"
kill -KILL "$server" && wait "$server" 2>/dev/null
keys s
poll "grep -q 'stopped answering' '$s/stderr'" || fail "killed server: no line on stderr"
rm -rf "$s/log" "$s/socket" && start_server "$s" && sleep 3
keys s
heard_in_order "$s" "Medium, swap mode, 1 move, 1 empty cell in the top row"
# Game → Win from the keyboard's menu (a modal window without a message once
# cost the next texts), the name asked, and the table read.
keys F10 Down Down Down Return
heard_in_order "$s" "You Win!" "Player Name. Type it, then press Enter"
keys A n n Return
heard_in_order "$s" "Top scores; 1, Ann, Medium, 1 move"
quit_within spoken

# A server that takes the connection and never answers.
n=$work/mute && mkdir -p "$n" && kept_game "$n"
python3 -c 'import socket, sys, time
s = socket.socket(socket.AF_UNIX); s.bind(sys.argv[1]); s.listen(); c = s.accept(); time.sleep(600)' \
  "$n/socket" &
pids+=($!)
poll "[ -S '$n/socket' ]"
SPEECHD_ADDRESS=unix_socket:$n/socket start_game "$n" speech=on
sleep 2.2
keys Right
poll "grep -q 'does not answer' '$n/stderr'" || fail "mute server: no line on stderr"
quit_within mute

# No library: speech-dispatcher's library hidden from the game alone.
m=$work/missing && mkdir -p "$m" && kept_game "$m"
if unshare -m true 2>/dev/null; then
  # shellcheck disable=SC2016 # expanded by that shell
  wrap=(unshare -m sh -c 'mount --bind /dev/null "$0" && exec "$@"' "$library")
  start_game "$m"
  keys ctrl+shift+s
  poll "xdotool search --onlyvisible --name '^Varnel\$' 2>/dev/null | grep -vq '^$window\$'" ||
    fail "no library: no message"
  grep -q "library is missing" "$m/stderr" || fail "no library: stderr: $(cat "$m/stderr")"
  grep -q speech "$m/config/varnel/settings" 2>/dev/null && fail "no library: speech kept on"
  keys Return
  quit_within missing
else
  echo "SKIP: no library: unshare -m is not permitted here"
fi
[ $failures = 0 ] && echo "PASS" && exit 0
exit 1
