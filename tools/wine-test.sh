#!/usr/bin/env bash
# The test launcher of the Windows builds: runs one Windows program under Wine
# with the caller's arguments and passes its output and exit code through.
#
# Two rare Wine failures of a heavy full run are cured here, each with a line on
# stderr and in $QUARN_ENV_DIR/restarts.log:
# - A Wine client dies before the program's own code runs: it exits non-zero
#   within milliseconds and prints nothing. Such a start, and only such a start,
#   is made again (twice at most). A program that printed anything is never run
#   again, so a test that started and failed always fails.
# - A test program prints its final results and then never ends: the client
#   hangs in Wine's process exit. Once the results are complete, the client
#   gets QUARN_EXIT_GRACE seconds (30) to end; then it is killed and the exit
#   code is the one the results give (1 if any test failed, else 0).
#
# The output goes to a file, not through a pipe: programs a test leaves running
# may hold the descriptor, and a pipe would keep the caller waiting for them.
# This script copies the file to its own output as it grows, so the caller gets
# what was written so far if the test is stopped by a timeout.
set -u

grace=${QUARN_EXIT_GRACE:-30}
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

# gtest's last lines: "[==========] N tests from M test suites ran." and a
# "[  PASSED  ]" line, then the failures if any.
results_complete() {
  grep -qE '^\[==========\] [0-9]+ tests? from [0-9]+ test suites? ran\.' "$out" &&
    grep -qE '^\[  PASSED  \] [0-9]+ tests?\.' "$out"
}

for attempt in 1 2 3; do
  wine "$@" >>"$out" &
  pid=$!
  done_since=""
  killed=""
  while kill -0 "$pid" 2>/dev/null; do
    sleep 0.05
    show_new
    if [ -z "$done_since" ]; then
      results_complete && done_since=$SECONDS
    elif [ $((SECONDS - done_since)) -ge "$grace" ]; then
      kill -KILL "$pid" 2>/dev/null
      killed=yes
      break
    fi
  done
  wait "$pid" 2>/dev/null
  rc=$?
  show_new
  if [ -n "$killed" ]; then
    rc=0
    grep -qE '^\[  FAILED  \]' "$out" && rc=1
    note "$1 printed its results but had not ended ${grace} s later; killed, exit code $rc taken from its results"
    exit "$rc"
  fi
  if [ "$rc" -eq 0 ] || [ -s "$out" ] || [ "$attempt" -eq 3 ]; then
    exit "$rc"
  fi
  note "$1 printed nothing and exited $rc before its code ran; starting it again"
done
