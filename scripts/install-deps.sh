#!/usr/bin/env bash
# Installs what building and testing Vantrix needs on Debian: the native
# toolchain and test libraries, the mingw-w64 cross compiler for vantrix.exe,
# and Wine, Xvfb, xdotool and ImageMagick for the end-to-end tests.
# Does nothing when everything is present.
set -euo pipefail

packages=(cmake g++ clang libclang-rt-14-dev libgtest-dev libbenchmark-dev python3
          g++-mingw-w64-x86-64 wine64 wine xvfb xdotool imagemagick)
# (wine64 is the 64-bit loader; wine brings the wine, wineboot and wineserver
# commands.)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: everything is installed"
  exit 0
fi

command=(apt-get install -y "${missing[@]}")
if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing ${missing[*]}; run as root:" >&2
  echo "  apt-get update && ${command[*]}" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
apt-get update
"${command[@]}"
