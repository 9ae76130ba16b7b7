#!/usr/bin/env bash
# Builds and runs every benchmark, then prints one table: each operation,
# its time, the plain I/O it is compared with, the ratio and the target.
#
#   scripts/bench.sh [--native-only]
#
# Native: vantrix_bench (Google Benchmark) over real files in
# build/bench-results/scratch and over the in-memory desktop: 15 short
# repetitions of each in random order, medians, so that a burst of other work
# on the machine or its disk spoils a few repetitions rather than a whole row.
# Under Wine: tests/bench/wine_bench.py on the real vantrix.exe (idle CPU, F5
# to copy, start-up). The JSON of both runs and the table stay in
# build/bench-results/; the table is also printed.
set -euo pipefail
cd "$(dirname "$0")/.."

native_only=0
for arg in "$@"; do
  case "$arg" in
    --native-only) native_only=1 ;;
    *) echo "usage: scripts/bench.sh [--native-only]" >&2; exit 2 ;;
  esac
done

# Keep Python from leaving bytecode in the source tree.
export PYTHONDONTWRITEBYTECODE=1

results=build/bench-results
mkdir -p "$results"

cmake --preset native >/dev/null
cmake --build --preset native --target vantrix_bench make_save
if [ "$native_only" -eq 0 ]; then
  # Up to date in a moment when nothing changed.
  cmake --preset windows >/dev/null
  cmake --build --preset windows
fi

echo "bench: native benchmarks (a few minutes)" >&2
VANTRIX_BENCH_DIR="$PWD/$results/scratch" build/native/tests/bench/vantrix_bench \
  --benchmark_repetitions=15 --benchmark_min_time=0.1 \
  --benchmark_enable_random_interleaving=true \
  --benchmark_report_aggregates_only=true \
  --benchmark_out="$results/native.json" --benchmark_out_format=json >&2

wine_json=()
if [ "$native_only" -eq 0 ]; then
  echo "bench: vantrix.exe under Wine (about two minutes)" >&2
  VANTRIX_NATIVE_BUILD_DIR="$PWD/build/native" VANTRIX_WINDOWS_BUILD_DIR="$PWD/build/windows" \
    python3 tests/bench/wine_bench.py --out "$results/wine.json"
  wine_json=("$results/wine.json")
fi

python3 tests/bench/bench_table.py "$results/native.json" "${wine_json[@]}" | tee "$results/table.md"
