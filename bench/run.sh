#!/usr/bin/env bash
# Builds the benchmark programs in an optimised build and runs them: the
# movie benchmark on a movie of the given size, then the data file benchmark.
#   bench/run.sh [megabytes]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVLF_TESTS=OFF -DVLF_BENCHMARKS=ON >/dev/null
cmake --build build-bench -j"$(nproc)" --target swf_bench data_bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build-bench/bench/swf_bench "${1:-64}" "$work"
echo
build-bench/bench/data_bench 40 "$work"
