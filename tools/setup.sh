#!/usr/bin/env bash
# Installs what building and testing need on Debian 12 (as root, or through sudo).
set -euo pipefail

packages=(
  cmake ninja-build g++ make python3
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  googletest
  libbenchmark-dev
  clang libclang-rt-14-dev
  wine wine64 fonts-wine xvfb xauth xdotool imagemagick
  fonts-liberation fonts-wqy-microhei
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
