#!/usr/bin/env bash
# Configures and builds the three builds: native (sanitizers), win64 (the
# product) and win32 (compile check) under ${QUARN_BUILD_ROOT:-build}/.
# Usage: tools/build.sh [native|win64|win32 ...]
set -euo pipefail
cd "$(dirname "$0")/.."

builds=("$@")
[ ${#builds[@]} -gt 0 ] || builds=(native win64 win32)

for b in "${builds[@]}"; do
  case "$b" in
    native) args=(-DQUARN_SANITIZE=ON) ;;
    win64) args=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake) ;;
    win32) args=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake) ;;
    *) echo "unknown build: $b" >&2; exit 2 ;;
  esac
  out="${QUARN_BUILD_ROOT:-build}/$b"
  if [ ! -f "$out/build.ninja" ]; then
    cmake -S . -B "$out" -G Ninja "${args[@]}" >/dev/null
  fi
  echo "== building $b"
  cmake --build "$out"
done
