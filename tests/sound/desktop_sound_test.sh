#!/usr/bin/env bash
# The sound path on a desktop: a real PipeWire server with its PulseAudio
# service, started here under a private D-Bus session and runtime directory,
# with a null sink as the default output. ALSA's default device goes to it
# through the pulse plugin (an .asoundrc in a private HOME), as on a desktop.
# The player plays two clips queued back to back; the sink's monitor is
# recorded. Both clips must be heard whole and in order, and nothing may
# reach standard error. Prints the silence between the clips.
#   desktop_sound_test.sh PLAY_CHILD SOUND_DIR COMPARE
set -u
child=$1
sounds=$2
compare=$3
for tool in dbus-run-session pipewire wireplumber pipewire-pulse pactl parecord; do
  command -v "$tool" >/dev/null || {
    echo "skipped: $tool is not installed (./test.sh installs it)"
    exit 77
  }
done

if [ -z "${VARNEL_IN_SESSION:-}" ]; then
  work=$(mktemp -d)
  [ -n "${VARNEL_KEEP:-}" ] || trap 'rm -rf "$work"' EXIT
  mkdir -m 700 "$work/run" "$work/home"
  VARNEL_IN_SESSION=1 VARNEL_WORK=$work XDG_RUNTIME_DIR=$work/run HOME=$work/home \
    dbus-run-session -- bash "$0" "$@" 2>"$work/session.log"
  status=$?
  [ $status -eq 0 ] || sed 's/^/  session | /' "$work/session.log"
  exit $status
fi

# Inside the private session from here on; VARNEL_WORK is the test's
# directory.
servers=()
recorder=""
stop_all() {
  [ -n "$recorder" ] && kill -INT "$recorder" 2>/dev/null && wait "$recorder" 2>/dev/null
  for pid in "${servers[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
}
trap stop_all EXIT
unset ALSA_CONFIG_PATH PULSE_SERVER PIPEWIRE_REMOTE
# Where PulseAudio itself is installed, a client that finds no server would
# start one of its own: only the PipeWire server below may answer.
printf 'autospawn = no\n' >"$HOME/client.conf"
export PULSE_CLIENTCONFIG=$HOME/client.conf
pipewire >"$VARNEL_WORK/pipewire.log" 2>&1 &
servers+=($!)
wireplumber >"$VARNEL_WORK/wireplumber.log" 2>&1 &
servers+=($!)
pipewire-pulse >"$VARNEL_WORK/pipewire-pulse.log" 2>&1 &
servers+=($!)
# The server answers before it can make a sink, or make a new one the
# default: "Not supported" for a moment, longer on a loaded machine. Try
# both for ten seconds.
made="" ready=""
for _ in $(seq 100); do
  [ -n "$made" ] || { pactl load-module module-null-sink sink_name=varnel_test >/dev/null 2>&1 && made=1; }
  [ -n "$made" ] && pactl set-default-sink varnel_test 2>/dev/null && ready=1 && break
  sleep 0.1
done
if [ -z "$ready" ]; then
  echo "FAIL: no null sink"
  tail "$VARNEL_WORK"/*.log
  exit 1
fi
printf 'pcm.!default { type pulse }\nctl.!default { type pulse }\n' >"$HOME/.asoundrc"

parecord -d varnel_test.monitor --latency-msec=20 --rate=44100 --channels=1 --format=s16le --raw \
  "$VARNEL_WORK/heard.raw" 2>"$VARNEL_WORK/parecord.log" &
recorder=$!
# Play only once the recorder listens.
for _ in $(seq 100); do
  [ -n "$(pactl list short source-outputs 2>/dev/null)" ] && break
  sleep 0.1
done
sleep 0.2
# ding (6), then pan (5)
"$child" "$sounds" 6 5 >"$VARNEL_WORK/child.out" 2>"$VARNEL_WORK/child.err"
child_status=$?
sleep 0.5
kill -INT "$recorder"
wait "$recorder" 2>/dev/null
recorder=""

failures=0
if [ $child_status -eq 0 ] && [ "$(cat "$VARNEL_WORK/child.out")" = "loaded 9 played 6 5 -100" ]; then
  echo "ok: the player took both clips and ended"
else
  echo "FAIL: the player said \"$(cat "$VARNEL_WORK/child.out")\", status $child_status"
  failures=$((failures + 1))
fi
if [ -s "$VARNEL_WORK/child.err" ]; then
  echo "FAIL: standard error was not empty:"
  sed 's/^/  | /' "$VARNEL_WORK/child.err"
  failures=$((failures + 1))
else
  echo "ok: nothing on standard error"
fi
if "$compare" "$VARNEL_WORK/heard.raw" "$sounds/ding.wav" "$sounds/pan.wav"; then
  echo "ok: both clips heard whole and in order"
else
  echo "FAIL: the recording does not hold both clips whole and in order"
  failures=$((failures + 1))
fi
[ $failures -eq 0 ]
