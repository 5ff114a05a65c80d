#!/usr/bin/env bash
# Installs what is missing, builds the game three times (plain, with the
# address and undefined-behaviour sanitizers, with the thread sanitizer) and
# runs every test; the fuzz targets run for 30 seconds each. Each GUI test
# starts an Xvfb of its own. The plain build's ctest summary comes last.
set -u
VARNEL_ROOT=$(cd "$(dirname "$0")" && pwd)
. "$VARNEL_ROOT/tools/deps.sh"
# shellcheck disable=SC2086
install_packages $VARNEL_PACKAGES $VARNEL_TEST_PACKAGES || exit 1
status=0
jobs=$(nproc)

echo "== ASan + UBSan build: every test"
if build_tree build-asan -DVARNEL_SANITIZE=address,undefined -DCMAKE_BUILD_TYPE=Debug >/dev/null; then
  ctest --test-dir "$VARNEL_ROOT/build-asan" -j"$jobs" --output-on-failure || status=1
else
  echo "ASan build failed"
  status=1
fi

echo "== TSan build: the tests of our threads (sound, the writers of the kept game and the records, speech)"
if build_tree build-tsan -DVARNEL_SANITIZE=thread -DCMAKE_BUILD_TYPE=Debug >/dev/null; then
  ctest --test-dir "$VARNEL_ROOT/build-tsan" -L 'sound|thread' -j"$jobs" --output-on-failure || status=1
else
  echo "TSan build failed"
  status=1
fi

echo "== Fuzzing: each target for 30 seconds"
if command -v clang++ >/dev/null; then
  "$VARNEL_ROOT/fuzz/run.sh" 30 || status=1
else
  echo "clang++ is not installed: no fuzzing"
fi

echo "== Plain build: every test"
if build_tree build >/dev/null; then
  ctest --test-dir "$VARNEL_ROOT/build" -j"$jobs" --output-on-failure || status=1
else
  echo "build failed"
  status=1
fi
exit $status
