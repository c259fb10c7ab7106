#!/usr/bin/env bash
# The test launcher of the Windows builds: runs one Windows program under Wine
# with the caller's arguments and passes its output and exit code through.
#
# Rarely, under a heavy full run, a Wine client dies before the program's own
# code runs: it exits non-zero within milliseconds and prints nothing. Such a
# start, and only such a start, is made again (twice at most), with a line on
# stderr saying so. A program that printed anything is never run again, so a
# test that started and failed always fails.
#
# The output goes to a file, not through a pipe: programs a test leaves running
# may hold the descriptor, and a pipe would keep the caller waiting for them.
# The file is followed by a tail that lives as long as this script: it makes a
# last read when the script has gone and then ends, so the caller gets the
# whole output, and gets it as it is written if the test is stopped by a
# timeout. Nothing here waits on the follower.
set -u

out=$(mktemp "${TMPDIR:-/tmp}/quarn-test-out.XXXXXX")
trap 'rm -f "$out"' EXIT
tail -s 0.05 -c +1 -f --pid=$$ "$out" &

for attempt in 1 2 3; do
  wine "$@" >>"$out"
  rc=$?
  if [ "$rc" -eq 0 ] || [ -s "$out" ] || [ "$attempt" -eq 3 ]; then
    exit "$rc"
  fi
  note="wine-test: $1 printed nothing and exited $rc before its code ran; starting it again"
  echo "$note" >&2
  [ -n "${QUARN_ENV_DIR:-}" ] && echo "$note ($*)" >>"$QUARN_ENV_DIR/restarts.log"
done
