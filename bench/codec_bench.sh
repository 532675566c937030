#!/usr/bin/env bash
# Builds and runs the codec benchmarks in an optimised build: a replacement
# sound converted to MP3 against LAME's own encoder, and a large JPEG
# picture decoded against a BMP of the same pixels and against djpeg.
#   bench/codec_bench.sh [sound seconds] [picture side]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVLF_TESTS=OFF -DVLF_BENCHMARKS=ON >/dev/null
cmake --build build-bench -j"$(nproc)" --target sound_bench picture_bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build-bench/bench/sound_bench "${1:-5}" "$work"
echo
build-bench/bench/picture_bench "${2:-4000}" "$work"
