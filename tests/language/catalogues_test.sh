#!/bin/bash
# The message template holds every text of the sources and nothing else,
# each catalogue translates every entry, and the game run from its build
# tree, in another directory, answers --help in each language.
set -u
src=$1
build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

cmake -DSOURCE_DIR="$src" -DHELP_TEXT="$build/help/help_text.h" -DOUTPUT="$work/now.pot" \
  -P "$src/po/make_pot.cmake" || fail "the template cannot be made"
msgcmp --use-untranslated "$src/po/varnel.pot" "$work/now.pot" ||
  fail "texts of the sources are missing from po/varnel.pot: run make update-po"
msgcmp --use-untranslated "$work/now.pot" "$src/po/varnel.pot" ||
  fail "po/varnel.pot holds texts the sources no longer have: run make update-po"

english=$(cd / && LANGUAGE= LC_ALL=C.UTF-8 "$build/varnel" --help)
while read -r lang; do
  msgcmp "$src/po/$lang.po" "$src/po/varnel.pot" || fail "$lang.po leaves entries untranslated"
  if grep -q '^#, .*fuzzy' "$src/po/$lang.po"; then fail "$lang.po has fuzzy entries"; fi
  help=$(cd / && LANGUAGE=$lang LC_ALL=C.UTF-8 "$build/varnel" --help)
  if [ -z "$help" ] || [ "$help" = "$english" ]; then fail "varnel --help is not in $lang"; fi
done <"$src/po/LINGUAS"
[ "$failures" -eq 0 ] && echo "all catalogues complete and current"
exit "$failures"
