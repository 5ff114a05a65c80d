#!/usr/bin/env bash
# The launcher prepares the player's game directory and runs the real game in
# it, on the Xvfb display that ctest gives this test: a fresh directory, an
# existing one with scores and stale links, a moved installation, and the
# refusals (read-only data home, no home at all, no display).
# Functions here run through check(), which shellcheck does not follow.
# shellcheck disable=SC2317 source=common.sh source-path=SCRIPTDIR
. "$(dirname "$0")/common.sh"

install_to "$work/prefix" || exit 1
chmod 755 "$work"
sounds=$(readlink -f "$work/prefix/share/varnel/sounds")
game=$(readlink -f "$work/prefix/libexec/varnel/varnel")
mkdir -p "$work/home" "$work/elsewhere"

# links_ok DIR SOUNDS: every sound in DIR is a link to SOUNDS/<name>.
links_ok() {
  local s
  for s in $SOUNDS; do
    if [ ! -L "$1/$s" ] || [ "$(readlink "$1/$s")" != "$2/$s" ]; then
      echo "  $1/$s: $(ls -l "$1/$s" 2>&1)"
      return 1
    fi
  done
}
# one_line_error LOG TEXT: LOG is exactly one line, "varnel: ..." with TEXT.
one_line_error() {
  if [ "$(wc -l <"$1")" -ne 1 ] || ! grep -q "^varnel: .*$2" "$1"; then
    sed 's/^/  | /' "$1"
    return 1
  fi
}

echo "== A fresh start: no XDG_DATA_HOME, started from another directory, with arguments"
dir=$work/home/.local/share/varnel
cd "$work/elsewhere" || exit 1
if start_game "$work/fresh.log" env -u XDG_DATA_HOME HOME="$work/home" "$work/prefix/bin/varnel" 2 extra; then
  check "the game runs in ~/.local/share/varnel" same "$(readlink "/proc/$game_pid/cwd")" "$dir"
  check "the game is the installed program" same "$(readlink "/proc/$game_pid/exe")" "$game"
  check "the game gets the launcher's arguments" \
    same "$(tr '\0' '\n' <"/proc/$game_pid/cmdline" | tail -n +2 | tr '\n' ' ')" "2 extra "
  check "the nine sounds are linked to the installed files" links_ok "$dir" "$sounds"
  check "Game -> Quit ends the game with status 0" quit_game
else
  check "the game maps its window" false
  sed 's/^/  | /' "$work/fresh.log"
fi
check "nothing is written where the game was started" test -z "$(ls -A "$work/elsewhere")"

echo "== An existing game directory: scores, a stale link, the player's own sound"
data=$work/data
dir=$data/varnel
mkdir -p "$dir"
printf '57:-2:abc\n120:1:Ann\n' >"$dir/top_scores.txt"
cp "$dir/top_scores.txt" "$work/scores.before"
ln -s /nowhere/pop.wav "$dir/pop.wav"
ln -s "$sounds/blop.wav" "$dir/blop.wav"
blop_inode=$(stat -c %i "$dir/blop.wav")
echo "the player's own" >"$dir/ding.wav"
if start_game "$work/existing.log" env XDG_DATA_HOME="$data" HOME="$work/home" "$work/prefix/bin/varnel"; then
  check "the game runs in \$XDG_DATA_HOME/varnel" same "$(readlink "/proc/$game_pid/cwd")" "$dir"
  check "Game -> Quit ends the game with status 0" quit_game
else
  check "the game maps its window" false
  sed 's/^/  | /' "$work/existing.log"
fi
check "the scores are kept as they were" cmp "$dir/top_scores.txt" "$work/scores.before"
check "the stale link now points at the installed sound" same "$(readlink "$dir/pop.wav")" "$sounds/pop.wav"
check "a right link is left as it is, not made again" same "$(stat -c %i "$dir/blop.wav")" "$blop_inode"
check "the player's own sound file is kept" same "$(cat "$dir/ding.wav")" "the player's own"
check "the other sounds are linked" same "$(find "$dir" -mindepth 1 -printf '%f\n' | LC_ALL=C sort | tr '\n' ' ')" \
  "bell.wav blop.wav ding.wav fanfare.wav honk.wav pan.wav pop.wav sad.wav thump.wav top_scores.txt "

echo "== The installation moved elsewhere: the links follow it"
rm "$dir/ding.wav"
mv "$work/prefix" "$work/moved"
moved_sounds=$(readlink -f "$work/moved/share/varnel/sounds")
if start_game "$work/moved.log" env XDG_DATA_HOME="$data" HOME="$work/home" "$work/moved/bin/varnel"; then
  check "the moved game is the one started" \
    same "$(readlink "/proc/$game_pid/exe")" "$(readlink -f "$work/moved/libexec/varnel/varnel")"
  check "Game -> Quit ends the game with status 0" quit_game
else
  check "the game maps its window" false
  sed 's/^/  | /' "$work/moved.log"
fi
check "every link now points into the moved tree" links_ok "$dir" "$moved_sounds"
check "the scores are still there" cmp "$dir/top_scores.txt" "$work/scores.before"

echo "== Refusals: one line on standard error, status 1, and no game"
launcher=$work/moved/bin/varnel
# No display is given, so a launcher that went on would start the game, and
# the game's own complaint would make a second line.
mkdir -m 555 "$work/ro"
as_player env -u DISPLAY XDG_DATA_HOME="$work/ro" HOME="$work/home" "$launcher" >"$work/ro.log" 2>&1
check "a read-only data home gives status 1" same "$?" 1
check "... and one clear line" one_line_error "$work/ro.log" "cannot create the game directory $work/ro/varnel"
check "... and no game directory" test ! -e "$work/ro/varnel"

mkdir -p "$work/ro2/varnel"
chmod 555 "$work/ro2/varnel"
as_player env -u DISPLAY XDG_DATA_HOME="$work/ro2" HOME="$work/home" "$launcher" >"$work/ro2.log" 2>&1
check "a read-only game directory gives status 1" same "$?" 1
check "... and one clear line" one_line_error "$work/ro2.log" "game directory $work/ro2/varnel is not writable"

env -u DISPLAY -u HOME -u XDG_DATA_HOME "$launcher" >"$work/nohome.log" 2>&1
check "no HOME and no XDG_DATA_HOME give status 1" same "$?" 1
check "... and one clear line" one_line_error "$work/nohome.log" "neither XDG_DATA_HOME nor HOME"

mkdir -p "$work/home2"
(cd "$work/elsewhere" && env -u DISPLAY XDG_DATA_HOME=relative/data HOME="$work/home2" "$launcher") >"$work/nodisplay.log" 2>&1
check "no display gives status 1" same "$?" 1
check "... and one clear line" one_line_error "$work/nodisplay.log" "no X display"
check "... after the game directory was made ready, ignoring a relative XDG_DATA_HOME" \
  links_ok "$work/home2/.local/share/varnel" "$moved_sounds"
check "... and making nothing in the working directory" test -z "$(ls -A "$work/elsewhere")"
finish
