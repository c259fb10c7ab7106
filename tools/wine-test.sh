#!/usr/bin/env bash
# The test launcher of the Windows builds: runs one Windows program under Wine
# with the caller's arguments and passes its output and exit code through.
#
# A rare Wine failure of a heavy full run is cured here: a Wine client dies
# before the program's own code runs (it exits non-zero within milliseconds
# and prints nothing). Such a start, and only such a start, is made again
# (twice at most), with a line on stderr and in $QUARN_ENV_DIR/restarts.log.
# A program that printed anything is never run again, so a test that started
# and failed always fails.
#
# Both output streams of the program go to a file, never to the caller's
# pipes: every process Wine starts for the program inherits them. Wine's
# desktop process (explorer.exe) ends a few seconds after the last window
# program and is started again by the next one; started by a test whose stderr
# was ctest's pipe, it kept ctest waiting on a finished test until it ended.
# Programs a test leaves running hold them the same way. This script copies
# the file to its own output as it grows, so the caller gets what was written
# so far if the test is stopped by a timeout.
set -u

out=$(mktemp "${TMPDIR:-/tmp}/quarn-test-out.XXXXXX")
trap 'rm -f "$out"' EXIT
shown=0

# Copies what the program wrote since the last call.
show_new() {
  local size
  size=$(stat -c %s "$out" 2>/dev/null) || return 0
  if [ "$size" -gt "$shown" ]; then
    tail -c +$((shown + 1)) "$out" | head -c $((size - shown))
    shown=$size
  fi
}

note() {
  echo "wine-test: $1" >&2
  [ -n "${QUARN_ENV_DIR:-}" ] && echo "$1 ($ARGS)" >>"$QUARN_ENV_DIR/restarts.log"
  return 0
}
ARGS="$*"

for attempt in 1 2 3; do
  wine "$@" >>"$out" 2>&1 &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    sleep 0.05
    show_new
  done
  wait "$pid"
  rc=$?
  show_new
  if [ "$rc" -eq 0 ] || [ -s "$out" ] || [ "$attempt" -eq 3 ]; then
    exit "$rc"
  fi
  note "$1 printed nothing and exited $rc before its code ran; starting it again"
done
