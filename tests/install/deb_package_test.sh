#!/usr/bin/env bash
# The Debian package made by `cpack -G DEB` from the build tree: its fields
# and dependencies, its exact file list, lintian's verdict, whether apt would
# take it here, and the game started from the package's files, unpacked into
# a temporary root, on the Xvfb display that ctest gives this test.
# Functions here run through check(), which shellcheck does not follow.
# shellcheck disable=SC2317 source=common.sh source-path=SCRIPTDIR
. "$(dirname "$0")/common.sh"

if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "FAIL: cpack -G DEB makes the package"
  exit 1
fi
debs=("$work"/out/varnel_*.deb)
check "cpack -G DEB makes one varnel_*.deb" test "${#debs[@]}" -eq 1 -a -f "${debs[0]}"
deb=${debs[0]}

echo "== Control fields"
field() { dpkg-deb -f "$deb" "$1"; }
check "the package is varnel" same "$(field Package)" varnel
check "its version is the project's" same "$(field Version)" "$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")"
check "it is in section games" same "$(field Section)" games
check "its file name has Debian's form" same "$(basename "$deb")" "varnel_$(field Version)_$(field Architecture).deb"
# dpkg-shlibdeps finds these from the libraries the game is linked with.
depends=$(field Depends | tr ',|' '\n' | sed 's/^ *//; s/ .*//')
for lib in libfltk1.3 libportaudio2 libasound2 libc6 libstdc++6; do
  check "it depends on $lib" grep -qxF "$lib" <<<"$depends"
done

echo "== Files"
expected="./usr/bin/varnel
./usr/games/varnel -> ../bin/varnel
./usr/libexec/varnel/varnel
./usr/share/applications/org.varnel.Varnel.desktop
./usr/share/doc/varnel/changelog.gz
./usr/share/doc/varnel/copyright
./usr/share/icons/hicolor/scalable/apps/varnel.svg
./usr/share/lintian/overrides/varnel
$(for l in $LANGUAGES; do echo "./usr/share/locale/$l/LC_MESSAGES/varnel.mo"; done | LC_ALL=C sort)
./usr/share/man/man6/varnel.6.gz
./usr/share/metainfo/org.varnel.Varnel.metainfo.xml
$(for s in $SOUNDS; do echo "./usr/share/varnel/sounds/$s"; done | LC_ALL=C sort)"
files=$(dpkg-deb -c "$deb" | awk '$NF !~ /\/$/ { $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' | LC_ALL=C sort)
check "the package holds exactly the game's files" same "$files" "$expected"
check "every file and directory belongs to root" \
  test -z "$(dpkg-deb -c "$deb" | awk '$2 != "root/root"')"

echo "== lintian and apt"
lintian_clean() {
  local rc=0
  lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 || rc=$?
  grep -v '^running with root privileges' "$work/lintian.log" | sed 's/^/  | /'
  return "$rc"
}
check "lintian finds no error and no warning" lintian_clean
apt_would_install() {
  apt-get install --simulate --no-install-recommends "$deb" >"$work/apt.log" 2>&1 || {
    sed 's/^/  | /' "$work/apt.log"
    return 1
  }
  grep -q '^Inst varnel ' "$work/apt.log"
}
check "apt-get install --simulate ./varnel_*.deb resolves it" apt_would_install

echo "== The unpacked package, started as the menu would start it"
root=$work/root
dpkg-deb -x "$deb" "$root"
mkdir -p "$work/home"
cd / || exit 1
if start_game "$work/game.log" env -u XDG_DATA_HOME HOME="$work/home" "$root/usr/games/varnel"; then
  dir=$work/home/.local/share/varnel
  check "the game runs in ~/.local/share/varnel" same "$(readlink "/proc/$game_pid/cwd")" "$dir"
  check "the game is the package's program" \
    same "$(readlink "/proc/$game_pid/exe")" "$(readlink -f "$root/usr/libexec/varnel/varnel")"
  linked_to_package() {
    local s
    for s in $SOUNDS; do
      [ "$(readlink "$dir/$s")" = "$(readlink -f "$root/usr/share/varnel/sounds/$s")" ] || return 1
    done
  }
  check "the sounds are linked to the package's files" linked_to_package
  title=$(xdotool getwindowname "$game_window")
  check "its window's title begins with Varnel" same "${title%% —*}" Varnel
  # What a taskbar matches to the desktop entry, and the icon it shows.
  startup_class=$(sed -n 's/^StartupWMClass=//p' "$root/usr/share/applications/org.varnel.Varnel.desktop")
  check "its window's class is the desktop entry's StartupWMClass" \
    same "$(xprop -id "$game_window" WM_CLASS)" "WM_CLASS(STRING) = \"$startup_class\", \"Varnel\""
  check "its window carries an icon" grep -q "Icon (128 x 128)" <<<"$(xprop -id "$game_window" _NET_WM_ICON)"
  check "Game -> Quit ends the game with status 0" quit_game
else
  check "the game maps its window" false
  sed 's/^/  | /' "$work/game.log"
fi
finish
