#!/usr/bin/env bash
# Runs every fuzz target (or the ones named) for <seconds> each under libFuzzer
# with AddressSanitizer and UBSan, in a clang build of its own
# (${QUARN_BUILD_ROOT:-build}/fuzz). Each target starts from its checked-in
# corpus (fuzz/corpus/<target>) and keeps what it learns in build/fuzz-corpus;
# an input that breaks a target is saved under build/fuzz-findings/<target>/.
# Ends with one line per target (runs, corpus size, result) and fails when any
# target found something. For a nightly run: tools/fuzz.sh 3600.
# Usage: tools/fuzz.sh <seconds> [target...]
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

seconds=${1:-}
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
  echo "usage: tools/fuzz.sh <seconds> [target...]" >&2
  exit 2
fi
shift

out="$root/${QUARN_BUILD_ROOT:-build}"
build="$out/fuzz"
if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DQUARN_SANITIZE=ON -DQUARN_FUZZ=ON \
    >/dev/null || exit 1
fi
echo "== building fuzz targets"
cmake --build "$build" --target quarn_fuzz_targets -j "${QUARN_FUZZ_BUILD_JOBS:-3}" | tail -n 1 || exit 1

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for dir in fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi

status=0
summary=()
for t in "${targets[@]}"; do
  bin="$build/fuzz/$t"
  if [ ! -x "$bin" ]; then
    echo "no such fuzz target: $t" >&2
    status=1
    continue
  fi
  work="$out/fuzz-corpus/$t"
  findings="$out/fuzz-findings/$t"
  mkdir -p "$work" "$findings"
  log="$out/fuzz-findings/$t.log"
  echo "== $t for ${seconds}s"
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$bin" -max_total_time="$seconds" -max_len=4096 -timeout=20 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/" "$work" "fuzz/corpus/$t" >"$log" 2>&1
  rc=$?
  runs=$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}')
  [ -n "$runs" ] || runs=$(grep -oE '^#[0-9]+' "$log" | tail -n 1 | tr -d '#')
  corpus=$(find "$work" -type f | wc -l)
  if [ $rc -eq 0 ]; then
    result="clean"
  else
    status=1
    found=$(grep -oE "Test unit written to [^ ]+" "$log" | tail -n 1 | sed 's/Test unit written to //')
    result="FOUND ${found:-a failure} (log: $log)"
    grep -E "ERROR: |invariant broken|runtime error" "$log" | head -n 3
  fi
  summary+=("$(printf '%-22s %12s runs  %5s corpus  %s' "$t" "${runs:-?}" "$corpus" "$result")")
done

echo "== fuzzing summary (${seconds}s per target)"
printf '%s\n' "${summary[@]}"
if [ $status -ne 0 ]; then
  echo "A finding is replayed by the target itself: $build/fuzz/<target> <file>." >&2
  echo "Once fixed, copy it into fuzz/corpus/<target>/ so that every test run replays it." >&2
fi
exit $status
