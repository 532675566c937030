#!/usr/bin/env bash
# Times the program's work on a whole mod, in wall-clock time, the best of a
# few runs of each, alternating, each in a directory of its own:
#   - exporting every resource to a folder, against the four section
#     exports of "all" in one session;
#   - applying that folder untouched, against exporting it;
#   - applying it after every image and data file was changed, on every
#     processor against one (taskset -c 0);
# and the peak memory (resident set) of each kind of run against the size of
# the game file.
#   bench/mod_bench.sh program mod_bench movie [runs]
set -euo pipefail
program=$(realpath "$1")
generator=$(realpath "$2")
movie=$(realpath "$3")
runs=${4:-3}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Prints the wall-clock seconds and the peak memory in kilobytes of one run
# of the program on `input` in $scratch/$dir; the words after the input
# start it (none, or taskset).
timed() {
  local dir=$1 input=$2
  shift 2
  mkdir -p "$scratch/$dir"
  (cd "$scratch/$dir" && printf '%b' "$input" |
    /usr/bin/time -f '%e %M' -o "$scratch/time" "$@" "$program" >/dev/null 2>"$scratch/errors")
  # A resource that fails is a fault of the game or of the benchmark.
  if [[ -s "$scratch/errors" ]]; then
    echo "the program reported errors:" >&2
    head -n 5 "$scratch/errors" >&2
    exit 1
  fi
  cat "$scratch/time"
}

best() { printf '%s\n' "$@" | sort -n | head -n1; }
peak() { printf '%s\n' "$@" | awk '$2 > m { m = $2 } END { print m }'; }

sections="$movie\n2\n2\nall\n0\n3\n2\nall\n0\n4\n2\nall\n0\n5\n2\nall\n0\n0\n"
exportAll="$movie\n8\nmod\n0\n"
apply="$movie\n9\nmod\n0\n"
applyChanged="$movie\n9\nmod\ny\n0\ny\n"

section=() all=() untouched=()
for ((run = 0; run < runs; ++run)); do
  rm -rf "$scratch/sections" "$scratch/all"
  section+=("$(timed sections "$sections")")
  all+=("$(timed all "$exportAll")")
  untouched+=("$(timed all "$apply")")
done
files=$(find "$scratch/all/mod" -type f | wc -l)
"$generator" change "$scratch/all/mod"
parallel=() single=()
for ((run = 0; run < runs; ++run)); do
  parallel+=("$(timed all "$applyChanged")")
  single+=("$(timed all "$applyChanged" taskset -c 0)")
done

read -r s _ <<<"$(best "${section[@]}")"
read -r a _ <<<"$(best "${all[@]}")"
read -r u _ <<<"$(best "${untouched[@]}")"
read -r p _ <<<"$(best "${parallel[@]}")"
read -r o _ <<<"$(best "${single[@]}")"
size=$(stat -c %s "$movie")
awk -v files="$files" -v procs="$(nproc)" -v runs="$runs" -v size="$size" -v s="$s" -v a="$a" -v u="$u" -v p="$p" \
    -v o="$o" -v ms="$(peak "${section[@]}")" -v ma="$(peak "${all[@]}")" -v mu="$(peak "${untouched[@]}")" \
    -v mp="$(peak "${parallel[@]}")" -v mo="$(peak "${single[@]}")" 'BEGIN {
  printf "whole mod: a game of %.1f MB, %d files, %d processors, wall-clock time, best of %d runs\n", size / 1048576, files, procs, runs
  printf "  %-52s %8.3f s  vs %8.3f s  ratio %.3f\n", "export all vs the four section exports of all", a, s, a / s
  printf "  %-52s %8.3f s  vs %8.3f s  ratio %.3f\n", "apply the untouched export vs exporting it", u, a, u / a
  printf "  %-52s %8.3f s  vs %8.3f s  ratio %.3f\n", "apply every image and data file changed, all vs one", p, o, p / o
  printf "  %-52s %8.1f MB = %.2f x the game\n", "peak memory: the four section exports", ms / 1024, ms * 1024 / size
  printf "  %-52s %8.1f MB = %.2f x the game\n", "peak memory: export all", ma / 1024, ma * 1024 / size
  printf "  %-52s %8.1f MB = %.2f x the game\n", "peak memory: apply the untouched export", mu / 1024, mu * 1024 / size
  printf "  %-52s %8.1f MB = %.2f x the game\n", "peak memory: apply the changed folder", mp / 1024, mp * 1024 / size
  printf "  %-52s %8.1f MB = %.2f x the game\n", "peak memory: apply the changed folder, one processor", mo / 1024, mo * 1024 / size
}'
