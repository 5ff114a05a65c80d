#!/usr/bin/env bash
# The benchmark suite: builds the game and the floor program (a bare FLTK
# program with the game's widget tree), measures both on a private Xvfb and
# prints one table. Exits non-zero only when something could not be measured.
#   bench/run.sh [RUNS]     RUNS: start-up repetitions (default 21)
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-21}
build=$root/build
if [ -z "${VARNEL_BENCH_INNER:-}" ]; then
  cmake -S "$root" -B "$build" >/dev/null && cmake --build "$build" -j"$(nproc)" \
    --target varnel sounds floor startup board_bench records_bench sound_play_child sound_compare_recording \
    >/dev/null || exit 1
  # The server's default scheduler lets a client that keeps it busy (the
  # game showing its first deal) hold it for a time slice, during which the
  # timer's own requests for the window's pixels wait: it would see the
  # first paint late. The plain one takes its clients' requests in turn.
  VARNEL_BENCH_INNER=1 VARNEL_XVFB_ARGS=-dumbSched exec "$root/tests/with-xvfb.sh" "$0" "$@"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build"/sounds/*.wav "$work" 2>/dev/null
cd "$work" || exit 1
# No audio device, and none of the machine's ALSA plugins: the main table
# does not depend on the sound set-up. The desktop case below uses the
# machine's own.
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state XDG_DATA_HOME=$work/data
export ALSA_CONFIG_PATH=$root/tests/common/no-audio.conf

median() { sort -n | awk '{a[NR]=$1} END {if (NR == 0) print "n/a"; else print a[int((NR+1)/2)]}'; }

# Sum over all threads of a process: context switches and CPU nanoseconds.
switches() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/ctxt_switches/ {s += $2} END {print s+0}'; }
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {print s+0}'; }

# A kept game with a full undo history, as the board benchmark leaves it.
"$build/bench/board_bench" >"$work/board_bench.txt" || exit 1
mv "$work/state" "$work/kept-state"

# English unless a run says otherwise, whatever the machine's language.
export LANGUAGE= LC_ALL=C.UTF-8

# start-up runs of the game (a new game, in English and in German, and a
# kept game restored) and the floor, one after the other, so that a change
# in the machine's load touches all alike: prints "g|de|k|f map paint" per
# run ("de" for German)
startups() {
  for _ in $(seq "$runs"); do
    rm -rf "$work/state"
    "$build/bench/startup" 0.3 "$build/varnel" | awk '{print "g", $2, $3}'
    rm -rf "$work/state"
    LANGUAGE=de "$build/bench/startup" 0.3 "$build/varnel" | awk '{print "de", $2, $3}'
    rm -rf "$work/state" && cp -r "$work/kept-state" "$work/state"
    "$build/bench/startup" 0.3 "$build/varnel" | awk '{print "k", $2, $3}'
    "$build/bench/startup" 0.3 "$build/bench/floor" | awk '{print "f", $2, $3}'
  done
  rm -rf "$work/state"
}
# the median of one column (map 2, paint 3) of one program's runs (g or f)
column() { awk -v p="$2" -v c="$3" '$1 == p {print $c}' <<<"$1" | median; }

# one long run: start-up, memory after 1 s, idle over 10 s from 2 s on
long_run() {
  local out="$work/long.$$"
  rm -f "$out" # not the pid of the run before
  "$build/bench/startup" 13 "$@" >"$out" &
  local client=$!
  local pid=""
  for _ in $(seq 200); do
    pid=$(awk '{print $1}' "$out" 2>/dev/null)
    [ -n "$pid" ] && break
    sleep 0.05
  done
  [ -n "$pid" ] || { wait $client; return 1; }
  sleep 1
  local hwm rss
  hwm=$(awk '/VmHWM/ {print $2}' /proc/"$pid"/status)
  rss=$(awk '/VmRSS/ {print $2}' /proc/"$pid"/status)
  sleep 1
  local s0 c0 s1 c1
  s0=$(switches "$pid")
  c0=$(cpu_ns "$pid")
  sleep 10
  s1=$(switches "$pid")
  c1=$(cpu_ns "$pid")
  local threads
  threads=$(cat /proc/"$pid"/task/*/comm 2>/dev/null | tr '\n' ' ')
  wait $client
  echo "$hwm $rss $(((s1 - s0) / 10)) $(((c1 - c0) / 1000000)) $threads"
}

row() { printf '%-46s %14s %14s %10s\n' "$@"; }

start=$(startups)
game_map=$(column "$start" g 2)
game_paint=$(column "$start" g 3)
floor_map=$(column "$start" f 2)
floor_paint=$(column "$start" f 3)
read -r g_hwm g_rss g_wake g_cpu g_threads < <(long_run "$build/varnel") || exit 1
read -r f_hwm f_rss f_wake f_cpu _ < <(long_run "$build/bench/floor") || exit 1
read -r de_hwm _ < <(LANGUAGE=de long_run "$build/varnel") || exit 1
game_step=$(awk '/animation step/ {print $(NF-4)}' "$work/board_bench.txt")
floor_step=$("$build/bench/floor" steps)

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }
row "figure" "varnel" "floor" "ratio"
row "start-up: exec to window mapped (ms)" "$game_map" "$floor_map" "$(ratio "$game_map" "$floor_map")"
row "start-up: exec to first complete paint (ms)" "$game_paint" "$floor_paint" "$(ratio "$game_paint" "$floor_paint")"
kept_paint=$(column "$start" k 3)
row "  the same, restoring a kept game (ms)" "$kept_paint" "" "$(ratio "$kept_paint" "$game_paint")"
german_paint=$(column "$start" de 3)
row "  the same, in German (ms; ratio to English)" "$german_paint" "" "$(ratio "$german_paint" "$game_paint")"
row "peak RSS (MiB)" "$(ratio "$g_hwm" 1024)" "$(ratio "$f_hwm" 1024)" "$(ratio "$g_hwm" "$f_hwm")"
row "  peak RSS in German (MiB; ratio to English)" "$(ratio "$de_hwm" 1024)" "" "$(ratio "$de_hwm" "$g_hwm")"
row "steady RSS (MiB)" "$(ratio "$g_rss" 1024)" "$(ratio "$f_rss" 1024)" "$(ratio "$g_rss" "$f_rss")"
row "idle wakeups per second, all threads" "$g_wake" "$f_wake" ""
row "idle CPU time over 10 s (ms)" "$g_cpu" "$f_cpu" ""
row "animation step (ms, median of 2000)" "$game_step" "$floor_step" "$(ratio "$game_step" "$floor_step")"
echo "threads of the game: $g_threads"
echo "start-up runs: $runs (medians); idle and memory: one run each"
grep -v 'animation step' "$work/board_bench.txt"
"$build/bench/records_bench" || exit 1
if [ -x "$build/bench/sound_bench" ]; then
  "$build/bench/sound_bench"
fi

# A desktop's sound packages: ALSA's configuration then names every plugin
# (pulse, jack, a52, upmix, ...), and the audio library probes them all as
# it starts. The game starts it on its player thread, off the window's path.
gweled_peak_mib=38.2
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "ok installed"; }
echo
echo "desktop case: the machine's ALSA configuration with a desktop's sound packages"
# The game lists the machine's fonts as it starts: a desktop has many.
echo "font faces on this machine (fc-list): $(fc-list 2>/dev/null | wc -l)"
if installed libasound2-plugins && { installed pulseaudio || installed pipewire-pulse; }; then
  (
    unset ALSA_CONFIG_PATH
    d_start=$(startups)
    d_map=$(column "$d_start" g 2)
    d_paint=$(column "$d_start" g 3)
    floor_map=$(column "$d_start" f 2)
    floor_paint=$(column "$d_start" f 3)
    read -r d_hwm d_rss d_wake _ < <(long_run "$build/varnel") || exit 1
    row "figure" "varnel" "floor" "ratio"
    row "start-up: exec to window mapped (ms)" "$d_map" "$floor_map" "$(ratio "$d_map" "$floor_map")"
    row "start-up: exec to first complete paint (ms)" "$d_paint" "$floor_paint" \
      "$(ratio "$d_paint" "$floor_paint")"
    row "peak RSS (MiB)" "$(ratio "$d_hwm" 1024)" "$(ratio "$f_hwm" 1024)" "$(ratio "$d_hwm" "$f_hwm")"
    row "steady RSS (MiB)" "$(ratio "$d_rss" 1024)" "$(ratio "$f_rss" 1024)" "$(ratio "$d_rss" "$f_rss")"
    row "idle wakeups per second, all threads" "$d_wake" "$f_wake" ""
    # Another tile game from Debian (gweled 0.9.1, with its own sound), once
    # on this kind of machine: its peak RSS, a yardstick for the game's.
    echo "peak RSS against gweled's $gweled_peak_mib MiB:" \
      "$(awk -v a="$d_hwm" -v b="$gweled_peak_mib" 'BEGIN {printf "%.2f", a / 1024 / b}')"
  ) || exit 1
else
  echo "not measured: libasound2-plugins and pulseaudio or pipewire-pulse are not installed"
fi
# Two clips through a private PipeWire server, as the desktop sound test
# plays them: the silence between the first clip's end and the second's
# start, as recorded from the sink (one new stream per clip).
gaps=""
for _ in 1 2 3; do
  gap=$(bash "$root/tests/sound/desktop_sound_test.sh" "$build/tests/sound/sound_play_child" \
    "$build/sounds" "$build/tests/sound/sound_compare_recording" 2>/dev/null |
    sed -n 's/.*silence before it \([-0-9.]*\) ms.*/\1/p')
  gaps="$gaps $gap"
done
echo "gap between two clips through PipeWire (ms, median of 3):" \
  "$(echo "$gaps" | tr ' ' '\n' | grep . | median) (runs:$gaps)"
