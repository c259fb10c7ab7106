#!/usr/bin/env bash
# Sets up, builds and runs the system: installs what is missing, builds the
# Windows programs, and starts the tray monitor from the install folder under
# Wine, inside a Wine desktop window whose task bar shows the tray icon.
# Without a display it runs on a private virtual one and saves a screenshot to
# build/run/screenshot.png. Stop it with the tray icon's menu (Exit) or Ctrl+C.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

tools/setup.sh
tools/build.sh win64

run="$root/build/run"
mkdir -p "$run/home"
# The profiles of this prefix persist from run to run.
export WINEPREFIX="$run/prefix" HOME="$run/home" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="winedbg.exe=d;mscoree=d;mshtml=d"

xvfb_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT INT TERM

if [ -z "${DISPLAY:-}" ]; then
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$run/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 100); do [ -s "$run/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(tr -d '[:space:]' <"$run/display")"
  headless=1
else
  headless=0
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Preparing the Wine prefix (first run only)..."
  wineboot -i </dev/null >/dev/null 2>&1
  wineserver -w
fi

dist=$(winepath -w "$root/build/win64/dist" 2>/dev/null)
echo "Starting quarnmon from $dist"
wine explorer "/desktop=QUARN,1024x768" "$dist\\quarnmon.exe" </dev/null >/dev/null 2>&1 &
for _ in $(seq 1 200); do pgrep -f "quarnmon.exe" >/dev/null && break; sleep 0.1; done

if [ "$headless" = 1 ]; then
  sleep 8
  import -window root "$run/screenshot.png" 2>/dev/null && echo "Screenshot: $run/screenshot.png"
fi
echo "quarnmon is running. Its tray menu's Config opens the configuration window;"
echo "stop both with the tray menu's Exit, or press Ctrl+C."
# Runs until the monitor ends; the Wine desktop closes with it.
while pgrep -f "quarnmon.exe" >/dev/null 2>&1; do sleep 1; done
