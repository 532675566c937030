#!/usr/bin/env bash
# Times the program replacing resources by files it converts, in wall-clock
# time, the best of a few runs of each, alternating, each in a directory of
# its own:
#   - one apply of a folder of WAV files of 5 s at 44100 Hz stereo (40 by
#     default) to a game of as many MP3 sounds, which encodes every file to
#     MP3: on every processor against one (taskset -c 0);
#   - replacing an image (4000 pixels square by default) by a photograph of
#     its size from a JPEG file, against from a BMP file of the same pixels,
#     through Edit images, each less a run that only loads the game and
#     leaves;
# and the peak memory (resident set) of each kind of run.
#   bench/replace_bench.sh program replace_bench [runs] [sounds] [side]
set -euo pipefail
program=$(realpath "$1")
generator=$(realpath "$2")
runs=${3:-3}
sounds=${4:-40}
side=${5:-4000}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Prints the wall-clock time in milliseconds and the peak memory in
# kilobytes of one run of the program on `input` in $scratch/$dir, which
# must say `done` (nothing when it only loads the game); the words after
# that start it (none, or taskset).
timed() {
  local dir=$1 input=$2 done=$3
  shift 3
  mkdir -p "$scratch/$dir"
  local TIMEFORMAT='%3R' real
  real=$({ time (cd "$scratch/$dir" && printf '%b' "$input" |
    /usr/bin/time -f %M -o "$scratch/memory" "$@" "$program" >"$scratch/output" 2>"$scratch/errors"); } 2>&1)
  # A replacement that fails or does not happen leaves nothing to time.
  if [[ -s "$scratch/errors" ]] || ! grep -qF "$done" "$scratch/output"; then
    echo "the program did not say '$done':" >&2
    head -n 5 "$scratch/errors" >&2
    exit 1
  fi
  awk -v r="$real" -v memory="$(cat "$scratch/memory")" 'BEGIN { printf "%d %d\n", r * 1000, memory }'
}

best() { printf '%s\n' "$@" | sort -n | head -n1; }
peak() { printf '%s\n' "$@" | awk '$2 > m { m = $2 } END { print m }'; }

mkdir "$scratch/wav" "$scratch/photo"
"$generator" sounds "$scratch/sounds.swf" "$scratch/wav" "$sounds" 5
"$generator" picture "$scratch/picture.swf" "$scratch/photo" "$side"

apply="$scratch/sounds.swf\n9\n$scratch/wav\ny\n0\ny\n"
applied="Applied $sounds replacement(s)."
replaceBy() { echo "$scratch/picture.swf\n4\n3\n600\n$scratch/photo/photo.$1\n0\n0\ny\n"; }
replaced="Replaced image 600"

parallel=() single=() soundsLoad=() jpeg=() bmp=() pictureLoad=()
for ((run = 0; run < runs; ++run)); do
  parallel+=("$(timed sounds "$apply" "$applied")")
  single+=("$(timed sounds "$apply" "$applied" taskset -c 0)")
  soundsLoad+=("$(timed sounds "$scratch/sounds.swf\n0\n" "")")
  jpeg+=("$(timed picture "$(replaceBy jpg)" "$replaced")")
  bmp+=("$(timed picture "$(replaceBy bmp)" "$replaced")")
  pictureLoad+=("$(timed picture "$scratch/picture.swf\n0\n" "")")
done

read -r p _ <<<"$(best "${parallel[@]}")"
read -r o _ <<<"$(best "${single[@]}")"
read -r sl _ <<<"$(best "${soundsLoad[@]}")"
read -r j _ <<<"$(best "${jpeg[@]}")"
read -r b _ <<<"$(best "${bmp[@]}")"
read -r pl _ <<<"$(best "${pictureLoad[@]}")"
awk -v sounds="$sounds" -v side="$side" -v procs="$(nproc)" -v runs="$runs" -v p="$p" -v o="$o" -v sl="$sl" \
    -v j="$j" -v b="$b" -v pl="$pl" -v mp="$(peak "${parallel[@]}")" -v mo="$(peak "${single[@]}")" \
    -v msl="$(peak "${soundsLoad[@]}")" -v mj="$(peak "${jpeg[@]}")" -v mb="$(peak "${bmp[@]}")" \
    -v mpl="$(peak "${pictureLoad[@]}")" 'BEGIN {
  p /= 1000; o /= 1000; sl /= 1000; j /= 1000; b /= 1000; pl /= 1000
  printf "replacements that convert: %d processors, wall-clock time, best of %d runs\n", procs, runs
  printf "  %-56s %8.3f s  vs %8.3f s  ratio %.3f\n", sprintf("apply %d WAV files of 5 s, every processor vs one", sounds), p, o, p / o
  printf "  %-56s %8.3f s  vs %8.3f s  ratio %.3f\n", "  less loading the game (" sprintf("%.3f s", sl) ")", p - sl, o - sl, (p - sl) / (o - sl)
  printf "  %-56s %8.3f s  vs %8.3f s  ratio %.3f\n", sprintf("replace a %dx%d image, from JPEG vs from BMP", side, side), j, b, j / b
  printf "  %-56s %8.3f s  vs %8.3f s  ratio %.3f\n", "  less loading the game (" sprintf("%.3f s", pl) ")", j - pl, b - pl, (j - pl) / (b - pl)
  printf "  %-56s %8.1f MB vs %8.1f MB (loading alone %.1f MB)\n", "peak memory: apply, every processor vs one", mp / 1024, mo / 1024, msl / 1024
  printf "  %-56s %8.1f MB vs %8.1f MB (loading alone %.1f MB)\n", "peak memory: replace the image, from JPEG vs from BMP", mj / 1024, mb / 1024, mpl / 1024
}'
