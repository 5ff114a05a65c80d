#!/usr/bin/env bash
# `cmake --install` of the build tree: exactly the files a player needs, each
# of the kind it must be, and nothing that points back into the build tree.
# Functions here run through check(), which shellcheck does not follow.
# shellcheck disable=SC2317 source=common.sh source-path=SCRIPTDIR
. "$(dirname "$0")/common.sh"

prefix=$work/prefix
check "cmake --install into a fresh prefix" install_to "$prefix"

expected="bin/varnel
libexec/varnel/varnel
share/applications/org.varnel.Varnel.desktop
share/doc/varnel/changelog.gz
share/doc/varnel/copyright
share/icons/hicolor/scalable/apps/varnel.svg
$(for l in $LANGUAGES; do echo "share/locale/$l/LC_MESSAGES/varnel.mo"; done | LC_ALL=C sort)
share/man/man6/varnel.6.gz
share/metainfo/org.varnel.Varnel.metainfo.xml
$(for s in $SOUNDS; do echo "share/varnel/sounds/$s"; done | LC_ALL=C sort)"
check "the install tree holds exactly the game's files" same "$(tree_of "$prefix")" "$expected"

check "the launcher is an executable shell script" \
  test -x "$prefix/bin/varnel" -a "$(head -c 9 "$prefix/bin/varnel")" = '#!/bin/sh'
check "the game is an executable ELF program" \
  test -x "$prefix/libexec/varnel/varnel" -a "$(head -c 4 "$prefix/libexec/varnel/varnel" | tail -c 3)" = ELF
is_wave() {
  [ "$(head -c 4 "$1" 2>/dev/null)" = RIFF ] &&
    [ "$(dd if="$1" bs=1 skip=8 count=4 2>/dev/null)" = WAVE ]
}
for s in $SOUNDS; do
  check "$s is a RIFF WAVE file" is_wave "$prefix/share/varnel/sounds/$s"
done
# The installed game finds its catalogues relative to itself.
speaks() {
  local english
  english=$(LANGUAGE= LC_ALL=C.UTF-8 "$prefix/libexec/varnel/varnel" --help)
  [ "$(LANGUAGE=$1 LC_ALL=C.UTF-8 "$prefix/libexec/varnel/varnel" --help)" != "$english" ]
}
for l in $LANGUAGES; do
  check "the installed game answers in $l" speaks "$l"
done
check "the man page and the changelog are gzip files" \
  gzip -t "$prefix/share/man/man6/varnel.6.gz" "$prefix/share/doc/varnel/changelog.gz"
check "no configured file names the build or source directory" \
  test -z "$(grep -lF -e "$build" -e "$(cd "$(dirname "$0")/../.." && pwd)" "$prefix/bin/varnel" \
    "$prefix"/share/applications/* "$prefix"/share/metainfo/*)"

# The launcher reaches the game and the sounds relative to itself, so the
# same tree works under another prefix and after a move.
same_launcher_elsewhere() {
  install_to "$work/other" && cmp "$work/other/bin/varnel" "$prefix/bin/varnel"
}
check "a second install under another prefix gives the same launcher" same_launcher_elsewhere
finish
