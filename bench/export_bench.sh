#!/usr/bin/env bash
# Times the program exporting every resource of one section of a game, on
# every processor it may use and on one processor (taskset -c 0, where it
# converts one file after another), in wall-clock time: the best of a few
# runs of each, alternating, each in an empty directory. Loading the game
# and leaving (the same in both) is timed too, and taken off for the
# second ratio. The processor time other processes took during the runs
# tells whether the machine was quiet enough for the ratio to mean much.
# The peak memory (resident set) of each way is printed too.
#   bench/export_bench.sh program movie menu label [runs]
# menu is the main menu's number of the section (4 images, 5 data files).
set -euo pipefail
program=$(realpath "$1")
movie=$(realpath "$2")
menu=$3
label=$4
runs=${5:-3}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The processor time the whole machine has spent busy so far, in
# milliseconds (from the first line of /proc/stat, in clock ticks).
machineBusy() {
  awk -v hz="$(getconf CLK_TCK)" '$1 == "cpu" { print int(($2 + $3 + $4 + $7 + $8 + $9) * 1000 / hz); exit }' /proc/stat
}

# Prints, in milliseconds, the wall-clock time and the processor time (user
# and system) of one run of the program on `input`, and the processor time
# the rest of the machine took meanwhile; then its peak resident memory in
# kilobytes (from /usr/bin/time). The program is started by the
# command words after `input` (none, or taskset), in a fresh directory
# $scratch/$name, whose files are kept until the next run.
timed() {
  local name=$1 input=$2
  shift 2
  rm -rf "${scratch:?}/$name"
  mkdir "$scratch/$name"
  local TIMEFORMAT='%3R %3U %3S' times real user system before after
  before=$(machineBusy)
  times=$({ time (cd "$scratch/$name" && printf '%b' "$input" |
    /usr/bin/time -f %M -o "$scratch/memory" "$@" "$program" >/dev/null); } 2>&1)
  after=$(machineBusy)
  read -r real user system <<<"$times"
  awk -v r="$real" -v u="$user" -v s="$system" -v busy=$((after - before)) -v memory="$(cat "$scratch/memory")" \
    'BEGIN { own = (u + s) * 1000; printf "%d %d %d %d\n", r * 1000, own, (busy > own ? busy - own : 0), memory }'
}

# Of the runs given, as timed prints them, the one of the smallest
# wall-clock time; and the largest peak memory of them.
best() { printf '%s\n' "$@" | sort -n | head -n1; }
peak() { printf '%s\n' "$@" | awk '$4 > m { m = $4 } END { print m }'; }

exportAll="$movie\n$menu\n2\nall\n0\n0\n"
loadOnly="$movie\n0\n"
parallel=() single=() load=()
for ((run = 0; run < runs; ++run)); do
  parallel+=("$(timed parallel "$exportAll")")
  single+=("$(timed single "$exportAll" taskset -c 0)")
  load+=("$(timed load "$loadOnly")")
done

# Both ways must write the same files; archives are compared by their
# entries, as their times of modification differ.
files=$(find "$scratch/parallel" -type f | wc -l)
digest() {
  local file
  (cd "$1" && find . -type f | sort | while read -r file; do
    echo "$file"
    if [[ $file == *.zip ]]; then unzip -Z1 "$file" && unzip -p "$file"; else cat "$file"; fi
  done) | cksum
}
if [[ $(digest "$scratch/parallel") != $(digest "$scratch/single") ]]; then
  echo "$label: the files written on one processor and on $(nproc) differ" >&2
  exit 1
fi

read -r p pcpu pother <<<"$(best "${parallel[@]}")"
read -r s scpu sother <<<"$(best "${single[@]}")"
read -r l _ _ <<<"$(best "${load[@]}")"
awk -v label="$label" -v files="$files" -v procs="$(nproc)" -v runs="$runs" \
    -v p="$p" -v s="$s" -v l="$l" -v pcpu="$pcpu" -v scpu="$scpu" -v pother="$pother" -v sother="$sother" \
    -v pm="$(peak "${parallel[@]}")" -v sm="$(peak "${single[@]}")" -v lm="$(peak "${load[@]}")" 'BEGIN {
  p /= 1000; s /= 1000; l /= 1000; pcpu /= 1000; scpu /= 1000; pother /= 1000; sother /= 1000
  printf "%s: %d files, %d processors, wall-clock time, best of %d runs\n", label, files, procs, runs
  printf "  %-48s %8.3f s  vs %8.3f s  ratio %.3f\n", "export all, every processor vs one", p, s, p / s
  printf "  %-48s %8.3f s  vs %8.3f s  ratio %.3f\n", "  less loading the game (" sprintf("%.3f s", l) ")", p - l, s - l, (p - l) / (s - l)
  printf "  %-48s %8.3f s  vs %8.3f s\n", "  processor time of the program", pcpu, scpu
  printf "  %-48s %8.3f s  vs %8.3f s\n", "  processor time of other processes meanwhile", pother, sother
  printf "  %-48s %8.1f MB vs %8.1f MB (loading alone %.1f MB)\n", "  peak memory", pm / 1024, sm / 1024, lm / 1024
  if (pother > 0.1 * p) print "  (the machine was busy: the ratio is not the program'"'"'s alone)"
}'
