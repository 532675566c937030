#!/usr/bin/env bash
# Builds the benchmark programs and the program in an optimised build and
# runs them: the movie benchmark on a movie of the given size, the image
# and data file benchmarks, and after each of these the program itself
# exporting every image, then every data file, of the game it generated, on
# every processor and on one; the program's work on a whole mod in a game of
# every kind of resource; the codec benchmarks (a sound converted to MP3, a
# large JPEG picture decoded); and the program applying a folder of WAV
# files that it encodes, and replacing an image from a large JPEG file and
# from a BMP file.
#   bench/run.sh [megabytes]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVLF_TESTS=OFF -DVLF_BENCHMARKS=ON >/dev/null
cmake --build build-bench -j"$(nproc)" --target swf_bench image_bench data_bench mod_bench sound_bench picture_bench \
  replace_bench vorlune-forge
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build-bench/bench/swf_bench "${1:-64}" "$work"
echo
build-bench/bench/image_bench 200 "$work/images.swf"
bench/export_bench.sh build-bench/vorlune-forge "$work/images.swf" 4 "program exporting every image"
echo
build-bench/bench/data_bench 40 "$work" "$work/data.swf"
echo
bench/export_bench.sh build-bench/vorlune-forge "$work/data.swf" 5 "program exporting every data file"
echo
build-bench/bench/mod_bench game "$work/mod.swf" 250 60
bench/mod_bench.sh build-bench/vorlune-forge build-bench/bench/mod_bench "$work/mod.swf"
echo
build-bench/bench/sound_bench 5 "$work"
echo
build-bench/bench/picture_bench 4000 "$work"
echo
bench/replace_bench.sh build-bench/vorlune-forge build-bench/bench/replace_bench
