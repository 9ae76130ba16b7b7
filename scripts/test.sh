#!/usr/bin/env bash
# Builds everything and runs every test: the native tests against the
# in-memory desktop, and the real vantrix.exe under Wine on a virtual display;
# then every native test again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and each fuzz target for a bounded time.
# Installs what is missing first (see scripts/install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

cmake --preset native
cmake --build --preset native
cmake --preset windows
cmake --build --preset windows
ctest --preset native

cmake --preset asan
cmake --build --preset asan
ctest --preset asan

cmake --preset fuzz
cmake --build --preset fuzz
ctest --preset fuzz
