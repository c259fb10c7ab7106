#!/usr/bin/env bash
# Runs every test on a fresh Debian 12 machine: installs what is missing, builds
# the three builds, runs the native tests (sanitizers), then the Windows tests
# under Wine in a throwaway prefix. Ends with one line: "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

tools/setup.sh || exit 1
tools/build.sh || exit 1

passed=0
failed=0
status=0

# ctest_run <label> <build dir> <jobs>: runs ctest and adds its counts.
ctest_run() {
  local label=$1 dir=$2 jobs=$3 log
  log=$(mktemp)
  echo "== $label tests"
  (cd "$dir" && ctest -j "$jobs" --output-on-failure --timeout 600) 2>&1 | tee "$log" |
    grep -vE '^ +Start |^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed'
  local rc=${PIPESTATUS[0]}
  local line total bad
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -n "$line" ]; then
    bad=$(sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/' <<<"$line")
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  else
    failed=$((failed + 1))  # ctest itself did not run to its summary
  fi
  [ "$rc" -eq 0 ] || status=1
  rm -f "$log"
}

ctest_run native "$root/${QUARN_BUILD_ROOT:-build}/native" "$(nproc)"

# shellcheck source=tools/wine-env.sh
. tools/wine-env.sh
trap wine_env_down EXIT
if wine_env_up; then
  ctest_run wine "$root/${QUARN_BUILD_ROOT:-build}/win64" 4
  if [ -s "$QUARN_ENV_DIR/restarts.log" ]; then
    echo "Wine clients that died before their program ran, started again:"
    cat "$QUARN_ENV_DIR/restarts.log"
  fi
else
  echo "Wine test environment could not start" >&2
  failed=$((failed + 1))
  status=1
fi
wine_env_down
trap - EXIT

echo "$passed passed, $failed failed"
exit $status
