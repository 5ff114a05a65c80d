#!/usr/bin/env bash
# What the desktop and the package tools read: the desktop entry, the
# AppStream metainfo, the icon, the man page and the launcher, each checked
# by its own validator in the installed tree, and the names that tie them.
# Functions here run through check(), which shellcheck does not follow.
# shellcheck disable=SC2317 source=common.sh source-path=SCRIPTDIR
. "$(dirname "$0")/common.sh"

install_to "$work/prefix" || exit 1
share=$work/prefix/share
desktop=$share/applications/org.varnel.Varnel.desktop
metainfo=$share/metainfo/org.varnel.Varnel.metainfo.xml
icon=$share/icons/hicolor/scalable/apps/varnel.svg
man=$share/man/man6/varnel.6.gz

# entry KEY: the value of KEY in the desktop entry.
entry() { sed -n "s/^$1=//p" "$desktop"; }
# quiet COMMAND...: runs COMMAND and shows its output only when it fails or
# says anything.
quiet() {
  local out
  out=$("$@" 2>&1)
  local rc=$?
  [ -n "$out" ] && printf '%s\n' "$out" | sed 's/^/  | /'
  [ "$rc" -eq 0 ] && [ -z "$out" ]
}

echo "== Desktop entry"
check "desktop-file-validate accepts it" quiet desktop-file-validate "$desktop"
check "it is in Game and LogicGame" same "$(entry Categories)" "Game;LogicGame;"
check "it starts the launcher, by name" same "$(entry Exec)" varnel
check "the launcher of that name is installed" test -x "$work/prefix/bin/$(entry Exec)"
check "its icon is installed in hicolor under that name" test -f "$share/icons/hicolor/scalable/apps/$(entry Icon).svg"
# The game's windows carry this X class (the e2e tests read it).
check "it names the game's window class" same "$(entry StartupWMClass)" varnel

echo "== AppStream metainfo"
# Without a network the screenshot's address cannot be fetched, so --no-net.
# --pedantic lists a capital letter in the id (org.varnel.Varnel), a hint
# only: the id names the installed desktop entry and stays as it is.
pedantic_clean() {
  local out rc=0
  out=$(appstreamcli validate --pedantic --no-net "$metainfo" 2>&1) || rc=$?
  [ "$rc" -eq 0 ] && ! grep -q '^[EWI]:' <<<"$out" && return 0
  printf '%s\n' "$out" | sed 's/^/  | /'
  return 1
}
check "appstreamcli validate --pedantic --no-net finds no error, warning or info" pedantic_clean
meta() { xmllint --xpath "string($1)" "$metainfo"; }
check "its licence is MIT" same "$(meta /component/project_license)" MIT
check "it is played with the keyboard as well as by pointing" \
  same "$(meta 'count(/component/supports/control[.="keyboard" or .="pointing"])')" 2
# The shorter side of a 1366 x 768 laptop, where the window starts at 700 x 730.
check "a 768-pixel display is large enough for it" \
  same "$(meta 'count(//display_length) > 0 and count(//display_length[@compare="ge" and number(.) <= 768]) = count(//display_length)')" true
check "it names its developer" test -n "$(meta /component/developer_name)"
check "its release is the project's version" \
  same "$(meta /component/releases/release/@version)" "$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
check "its content rating is OARS, with nothing to declare" \
  same "$(meta 'count(/component/content_rating[@type="oars-1.1"]/*)')" 0
source_dir=$(sed -n 's/^varnel_SOURCE_DIR:STATIC=//p' "$build/CMakeCache.txt")
screenshot=$(meta '/component/screenshots/screenshot[@type="default"]/image')
check "its screenshot is the README's picture, at a web address" \
  grep -qE '^https://.+/docs/screenshot\.png$' <<<"$screenshot"
check "that picture is in the repository" test -f "$source_dir/docs/screenshot.png"
check "its id is the desktop entry's name" \
  same "$(xmllint --xpath 'string(/component/id)' "$metainfo")" "$(basename "$desktop" .desktop)"
check "it launches that desktop entry" \
  same "$(xmllint --xpath 'string(/component/launchable[@type="desktop-id"])' "$metainfo")" "$(basename "$desktop")"
check "it provides the varnel command" \
  same "$(xmllint --xpath 'string(/component/provides/binary)' "$metainfo")" varnel

echo "== Icon"
check "the icon is well-formed SVG" same "$(xmllint --xpath 'local-name(/*)' "$icon")" svg
check "the icon is square" same "$(xmllint --xpath 'string(/*/@viewBox)' "$icon")" "0 0 128 128"

echo "== Licence"
copyright=$share/doc/varnel/copyright
check "the copyright file is in Debian's machine-readable format" \
  same "$(head -n 1 "$copyright")" "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"
check "it gives every file the MIT licence" \
  same "$(sed -n '/^Files: \*$/,/^$/s/^License: //p' "$copyright")" MIT

echo "== Man page"
# The same check lintian makes: groff must have nothing to complain about.
# Only groff's complaints (standard error) are kept; the page goes away.
man_warnings() {
  # shellcheck disable=SC2069
  LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$man" 2>&1 >/dev/null
}
check "man --warnings renders it without a warning" quiet man_warnings
page=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$man" 2>/dev/null)
check "it is in section 6" same "$(zcat "$man" | sed -n 's/^\.TH VARNEL \([0-9]\).*/\1/p')" 6
for section in SYNOPSIS ARGUMENTS "HOW TO PLAY" KEYS MENUS FILES SOUNDS SIGNALS ENVIRONMENT \
  DIAGNOSTICS "EXIT STATUS"; do
  check "it has the section $section" grep -qx "$section" <<<"$page"
done
for word in $SOUNDS top_scores.txt XDG_DATA_HOME .local/share/varnel Easy Medium Hard Stupid \
  "Toggle Arrow Mode" "Error: Cannot create a new thread." Undo Hint "Top Scores" \
  XDG_CONFIG_HOME arrows=on XDG_STATE_HOME .local/state/varnel/game SIGTERM nohup; do
  check "it tells of $word" grep -qF "$word" <<<"$page"
done
# Its rules, keys and command line are README.md's sections, word for word
# (they told another game: Medium "the default", every tile an arrow).
readme=$(dirname "$0")/../../README.md
words() { LC_ALL=C tr -cs '[:alnum:]' '\n' | grep .; }
unhyphenated=$(LC_ALL=C.UTF-8 MANWIDTH=200 MANROFFOPT=-rHY=0 man -l "$man" 2>/dev/null)
for pair in "How to play:HOW TO PLAY" "Keys:KEYS" "Command line:ARGUMENTS"; do
  heading=${pair%%:*} section=${pair#*:}
  check "its $section is the README's \"$heading\"" quiet diff \
    <(sed -n "/^## $heading\$/,/^## /{/^## /d;p}" "$readme" | words) \
    <(sed -n "/^$section\$/,/^[A-Z]/{/^[A-Z]/d;p}" <<<"$unhyphenated" | words)
done

echo "== Launcher"
check "sh -n accepts it" sh -n "$work/prefix/bin/varnel"
check "shellcheck accepts it" shellcheck -s sh "$work/prefix/bin/varnel"
finish
