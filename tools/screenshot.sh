#!/usr/bin/env bash
# Takes docs/screenshot.png, the picture in the README: the game window as a
# new game starts, on a private Xvfb display.
#   tools/screenshot.sh [BUILD_DIR]    (default: build; the game is BUILD_DIR/varnel)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
if [ -z "${VARNEL_SCREENSHOT_XVFB:-}" ]; then
  VARNEL_SCREENSHOT_XVFB=1 exec "$root/tests/with-xvfb.sh" "$0" "$build"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The game keeps its files in its working directory: give it an empty one.
(cd "$work" && exec "$build/varnel") >"$work/game.log" 2>&1 &
game=$!
window=""
while [ -z "$window" ]; do
  kill -0 "$game" 2>/dev/null || { cat "$work/game.log" >&2; exit 1; }
  window=$(xdotool search --onlyvisible --name '^Varnel' | head -n 1) || true
  sleep 0.1
done
# Keep the pointer off the board (a tile under it is outlined), and wait
# until the new game's matches have cleared and the tiles stopped falling:
# two pictures half a second apart are the same.
xdotool mousemove 1270 1010
import -window "$window" "$work/before.png"
while sleep 0.5 && import -window "$window" "$work/shot.png" &&
  ! cmp -s <(convert "$work/before.png" rgb:-) <(convert "$work/shot.png" rgb:-); do
  mv "$work/shot.png" "$work/before.png"
done
mkdir -p "$root/docs"
convert "$work/shot.png" -strip "$root/docs/screenshot.png"
echo "wrote $root/docs/screenshot.png"

# Game -> Quit.
xdotool mousemove --window "$window" 20 15 click 1
sleep 0.5
xdotool key Down key Return
wait "$game"
