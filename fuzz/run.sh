#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS on a copy
# of its seed corpus: fuzz/run.sh [SECONDS] (default 30). Prints each
# target's executions and findings; exits non-zero when any target found a
# crash, a sanitizer report, a leak or a timeout. The build goes to
# build-fuzz, or to $VARNEL_FUZZ_BUILD; crash inputs are kept in
# build-fuzz/findings/TARGET/.
set -u
seconds=${1:-30}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VARNEL_FUZZ_BUILD:-$root/build-fuzz}
targets="read_wave_fuzz top_scores_fuzz settings_fuzz game_record_fuzz records_fuzz"

if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ is not installed" >&2
  exit 1
fi
# shellcheck disable=SC2086
if ! { CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DVARNEL_FUZZ=ON -DBUILD_TESTING=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
  cmake --build "$build" -j"$(nproc)" --target $targets >/dev/null; }; then
  echo "fuzz: the build failed" >&2
  exit 1
fi

status=0
for target in $targets; do
  corpus=$root/fuzz/corpus/${target%_fuzz}
  work=$(mktemp -d)
  findings=$build/findings/$target
  mkdir -p "$findings" "$work/corpus"
  cp "$corpus"/* "$work/corpus/"
  (cd "$work" && "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/" "$work/corpus" >"$work/log" 2>&1)
  rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -1)
  found=$(grep -c '^==[0-9]*==ERROR\|^SUMMARY: \|runtime error:\|^==[0-9]*== ERROR: libFuzzer' "$work/log")
  echo "fuzz: $target: ${runs:-0} executions in ${seconds} s, $found findings (exit $rc)"
  if [ "$rc" -ne 0 ] || [ "$found" -ne 0 ] || [ -z "$runs" ]; then
    status=1
    if grep -q 'ERROR\|runtime error' "$work/log"; then
      grep -A30 'ERROR\|runtime error' "$work/log" | head -60
    else
      tail -20 "$work/log"
    fi
    echo "fuzz: $target: inputs kept in $findings"
  fi
  rm -rf "$work"
done
exit $status
