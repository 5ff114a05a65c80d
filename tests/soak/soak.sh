#!/usr/bin/env bash
# Random-input soak: plays the game (by default the ASan + UBSan build's,
# build-asan/varnel) on a private Xvfb with thousands of random clicks, wheel
# turns and menu picks (Reset, the levels, Win, Toggle Arrow Mode, now and
# then Quit), sent without waiting, so that most land in the middle of a
# move's animation. It answers the name dialog when one appears, moves the
# top-scores window off the menu bar or closes it, and starts the game again
# after each Quit. Keys, Undo, Hint and Top Scores come too, and now and
# then a kill -9 between moves, after which the game starts again as well;
# half of the starts name no level, so the game kept by the last run goes on.
#
#   tests/soak/soak.sh [EVENTS | SECONDSs] [SEED]
#
# EVENTS (default 3000) or, with an "s", a running time in seconds. The seed
# (default: from the clock) is printed first; the same seed sends the same
# events. It fails when the game crashes, stops answering, exits with a
# status other than 0, writes anything to standard error (a sanitizer
# report, an audio error), leaves a top_scores.txt that does not parse, or
# sets a kept game aside as unreadable (a kill must never leave one).
# VARNEL_PROGRAM names another build of the game; its sounds are taken from
# the sounds/ directory beside it.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

# A private display first: the script runs itself again under with-xvfb.sh.
if [ -z "${SOAK_ON_XVFB:-}" ]; then
  SOAK_ON_XVFB=1 exec "$root/tests/with-xvfb.sh" "$0" "$@"
fi

amount=${1:-3000}
seed=${2:-$(date +%s)}
program=${VARNEL_PROGRAM:-$root/build-asan/varnel}
echo "soak: seed $seed, $amount (events, or seconds with s), program $program"
if [ ! -x "$program" ]; then
  echo "soak: no program at $program" >&2
  exit 1
fi
case $amount in
*s) deadline=$((SECONDS + ${amount%s})) events=-1 ;;
*) deadline=-1 events=$amount ;;
esac
RANDOM=$seed

work=$(mktemp -d)
pid=
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid"
    wait "$pid" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT
mkdir "$work/home"
cp "$(dirname "$program")"/sounds/*.wav "$work/"
printf '3:2:kept first\n40:-1:kept: with a colon\n900:3:kept last\n' >"$work/top_scores.txt"
# A real ALSA device that writes to a file, rewritten by every stream, as
# ALSA's whole configuration: the machine's plugins stay out.
printf 'pcm.!default { type file; slave { pcm { type null } } file "%s/out.raw"; format "raw"; truncate true }\n' \
  "$work" >"$work/home/alsa.conf"
export HOME=$work/home ALSA_CONFIG_PATH=$work/home/alsa.conf
unset XDG_CONFIG_HOME XDG_STATE_HOME XDG_DATA_HOME
kept=$HOME/.local/state/varnel
export ASAN_OPTIONS=handle_abort=1:detect_leaks=1
export LSAN_OPTIONS=suppressions=$root/tests/common/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1

fail() {
  echo "soak: FAILED after $sent events (seed $seed): $*"
  if [ -s "$work/stderr" ]; then
    echo "soak: the game's standard error:"
    head -100 "$work/stderr"
  fi
  exit 1
}

# Every line "moves:mode:name", at most 101 of them, fewest moves first.
check_scores() {
  local f=$work/top_scores.txt
  [ -f "$f" ] || fail "top_scores.txt is gone"
  if [ -s "$f" ] && [ "$(tail -c1 "$f" | od -An -c | tr -d ' ')" != '\n' ]; then
    fail "top_scores.txt does not end with a newline"
  fi
  grep -vqE '^-?[0-9]+:-?[0-3]:' "$f" && fail "a line of top_scores.txt does not parse: $(grep -vE '^-?[0-9]+:-?[0-3]:' "$f" | head -1)"
  [ "$(wc -l <"$f")" -le 101 ] || fail "top_scores.txt has more than 101 lines"
  cut -d: -f1 "$f" | sort -n -c 2>/dev/null || fail "top_scores.txt is out of order"
}

# A kept game set aside means the last run left a file that is not whole.
check_kept() { [ ! -e "$kept/game.bad" ] || fail "a kept game was set aside as unreadable"; }

start_game() {
  local args=()
  [ $((RANDOM % 2)) -eq 0 ] && args=($((RANDOM % 6 - 1)))
  (cd "$work" && exec "$program" "${args[@]}" 2>>"$work/stderr" >/dev/null) &
  pid=$!
  games=$((games + 1))
  window=$(timeout 60 xdotool search --sync --maxdepth 1 --onlyvisible --pid "$pid" --name '^Varnel' 2>/dev/null | head -1)
  [ -n "$window" ] || fail "the main window did not appear"
  check_kept
}

# The game's other windows: the name dialog and the top-scores window.
# Menus are override-redirect windows, left alone here.
tend_windows() {
  local w name
  for w in $(xdotool search --maxdepth 1 --onlyvisible --pid "$pid" '' 2>/dev/null); do
    [ "$w" = "$window" ] && continue
    xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes\|(the root window)' && continue
    name=$(xdotool getwindowname "$w" 2>/dev/null)
    if [ "$name" = "Top Scores" ]; then
      if [ $((RANDOM % 3)) -eq 0 ]; then
        xdotool key --window "$w" Escape 2>/dev/null
      else
        xdotool windowmove "$w" 820 0 2>/dev/null
      fi
    else
      answered=$((answered + 1))
      if [ $((RANDOM % 5)) -eq 0 ]; then
        xdotool key --window "$w" Escape 2>/dev/null
      else
        local names=("Ann" "Bo Li" "a:b:c" "Zoë" "x" "name with  spaces" "" "0:0:0")
        xdotool mousemove --window "$w" 200 50 type --delay 5 "${names[RANDOM % 8]}$RANDOM" 2>/dev/null
        xdotool key Return 2>/dev/null
      fi
    fi
  done
}

# One look at the process: bash may reap it between two looks, and a
# "kill -0" that found a zombie followed by a "ps" that finds nothing took
# an ended game for a live one.
alive() {
  local stat
  stat=$(ps -o stat= -p "$pid" 2>/dev/null) && [ -n "$stat" ] && [ "${stat:0:1}" != Z ]
}

ended_by_itself() {
  wait "$pid"
  local status=$?
  pid=
  fail "the game ended by itself, with status $status"
}

# Prints an open menu of the game (menus are override-redirect windows).
menu_open() {
  local w
  for w in $(xdotool search --maxdepth 1 --onlyvisible --pid "$pid" '' 2>/dev/null); do
    if xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes'; then
      echo "$w"
      return 0
    fi
  done
  return 1
}

# Clicks a menu title and waits, up to about a second, for its menu.
open_menu() {
  xdotool mousemove --window "$window" "$1" 15 click 1 2>/dev/null
  local i
  for i in $(seq 20); do
    menu=$(menu_open) && return 0
    [ "$i" -eq 20 ] || sleep 0.05
  done
  return 1
}

# Picks the nth entry of a menu: title x, number of Downs.
pick() {
  local keys
  keys=$(printf 'Down %.0s' $(seq "$2"))
  # shellcheck disable=SC2086
  open_menu "$1" && xdotool key $keys Return 2>/dev/null
}

# The game answers: a click on "Game" opens its menu (while a move runs,
# too), which Escape closes again. Tried for about a minute.
check_answers() {
  local i
  for i in $(seq 60); do
    alive || ended_by_itself
    tend_windows
    if open_menu 20; then
      # Sent to the menu only, so that it closes the menu.
      xdotool key --window "$menu" Escape 2>/dev/null
      return 0
    fi
  done
  kill -ABRT "$pid" # the sanitizer prints where it was
  sleep 2
  fail "the game does not answer"
}

quit_game() {
  local i
  for i in $(seq 600); do
    alive || break
    if [ $((i % 100)) -eq 1 ]; then
      tend_windows
      pick 20 1
    fi
    sleep 0.05
  done
  alive && { kill -ABRT "$pid"; sleep 2; fail "Quit did not end the game"; }
  wait "$pid"
  local status=$?
  pid=
  [ "$status" -eq 0 ] || fail "the game exited with status $status"
  [ -s "$work/stderr" ] && fail "the game wrote to standard error"
  check_scores
}

# Reset, Win, Toggle Arrow Mode, a level, Undo, Hint or Top Scores.
menu_pick() {
  local choice=$((RANDOM % 11))
  case $choice in
  0 | 1) pick 20 2 ;;                # Reset
  2) pick 20 3 && tend_windows ;;    # Win
  3) pick 80 5 ;;                    # Toggle Arrow Mode
  8) pick 20 6 ;;                    # Undo
  9) pick 20 7 ;;                    # Hint
  10) pick 20 8 && tend_windows ;;   # Top Scores
  *) pick 80 $((choice - 3)) ;;      # Easy, Medium, Hard, Stupid
  esac
}

# Keys to the board: the focus moves and acts, arrows turn, Undo and Hint.
keys=(Left Right Up Down Tab space Return plus minus Home End Prior Next ctrl+z ctrl+h)

# Clicks and wheel turns go to xdotool a few at a time.
batch=()
send_batch() {
  [ ${#batch[@]} -gt 0 ] && xdotool "${batch[@]}" 2>/dev/null
  batch=()
}

sent=0 games=0 answered=0 kills=0
start_game
while :; do
  if [ "$events" -ge 0 ]; then
    [ "$sent" -ge "$events" ] && break
  elif [ "$SECONDS" -ge "$deadline" ]; then
    break
  fi
  r=$((RANDOM % 100))
  col=$((RANDOM % 20)) row=$((RANDOM % 20))
  x=$((col * 40 + 5 + RANDOM % 30)) y=$((30 + row * 40 + 5 + RANDOM % 30))
  if [ $r -lt 55 ]; then
    batch+=(mousemove --window "$window" "$x" "$y" click 1)
  elif [ $r -lt 65 ]; then
    batch+=(key "${keys[RANDOM % ${#keys[@]}]}")
  elif [ $r -lt 82 ]; then
    batch+=(mousemove --window "$window" "$x" "$y" click $((4 + RANDOM % 2)))
  elif [ $r -lt 98 ] || { [ $r -eq 99 ] && [ $((RANDOM % 4)) -ne 0 ]; }; then
    send_batch
    menu_pick
  elif [ $r -eq 98 ]; then # the game ended between moves, as by a crash or a power cut
    send_batch
    kill -KILL "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
    pid='' kills=$((kills + 1))
    start_game
  else
    send_batch
    quit_game
    start_game
  fi
  sent=$((sent + 1))
  [ ${#batch[@]} -ge 42 ] && send_batch
  if [ $((sent % 25)) -eq 0 ]; then
    send_batch
    alive || ended_by_itself
    tend_windows
    [ -s "$work/stderr" ] && fail "the game wrote to standard error"
  fi
  if [ $((sent % 200)) -eq 0 ]; then
    send_batch
    check_answers
    check_scores
  fi
done
send_batch
check_answers
quit_game
check_kept
echo "soak: passed: $sent events, $games games ($kills killed), $answered name dialogs, $(wc -l <"$work/top_scores.txt") scores (seed $seed)"
