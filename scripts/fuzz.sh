#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (in build-fuzz/) and runs each for a
# bounded time, FUZZ_SECONDS (default 25) apiece, as many at once as there
# are processors; with FUZZ_SECONDS=0 each target only runs its seeds. Each
# run starts from a copy of its seed corpus in a scratch directory, so the
# checked-in corpus under fuzz/corpus/ is never written.
# Prints the executions of each target and fails on any finding: a crash, a
# broken property, a leak, a timeout or running out of memory. The inputs
# that caused findings are kept in build-fuzz/findings/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-25}
if [[ ! "$seconds" =~ ^[0-9]+$ ]]; then
  echo "FUZZ_SECONDS must be a whole number of seconds, not '$seconds'." >&2
  exit 2
fi
# libFuzzer reads a time limit of 0 as no limit at all.
if ((seconds == 0)); then limit=(-runs=0); else limit=(-max_total_time="$seconds"); fi
jobs=$(nproc)
build=build-fuzz

echo "== Fuzz build"
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVLF_FUZZ=ON -DVLF_TESTS=OFF >/dev/null
cmake --build "$build" --target fuzzers -j"$jobs"

targets=()
for source in fuzz/*_fuzzer.cpp; do
  name=$(basename "$source" _fuzzer.cpp)
  targets+=("$name")
done

work=$(mktemp -d "${TMPDIR:-/tmp}/vlf-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT
rm -rf "$build/findings"

run_target() {
  local target=$1
  local dir=$work/$target
  mkdir -p "$dir/tmp" "$dir/artifacts"
  cp -r "fuzz/corpus/$target" "$dir/corpus"
  local status=0
  TMPDIR="$dir/tmp" UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 LSAN_OPTIONS=suppressions="$PWD/scripts/lsan.supp" \
    "$build/fuzz/fuzz_$target" "${limit[@]}" -rss_limit_mb=2048 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$dir/artifacts/" "$dir/corpus" >"$dir/log" 2>&1 || status=$?
  echo "$status" >"$dir/status"
}

if ((seconds == 0)); then
  echo "== Running the seeds of ${#targets[@]} fuzz targets"
else
  echo "== Fuzzing ${#targets[@]} targets for ${seconds} s each, $jobs at a time"
fi
for target in "${targets[@]}"; do
  while (($(jobs -rp | wc -l) >= jobs)); do wait -n || true; done
  run_target "$target" &
done
wait

failed=0
for target in "${targets[@]}"; do
  dir=$work/$target
  status=$(cat "$dir/status")
  # libFuzzer ends a run with "Done N runs in S second(s)"; a run cut short by
  # a finding only has the final statistics.
  runs=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$dir/log" | tail -n 1)
  [[ -n "$runs" ]] || runs=$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$dir/log" | tail -n 1)
  artifacts=("$dir"/artifacts/*)
  if [[ "$status" == 0 && ! -e "${artifacts[0]}" ]]; then
    printf '%-12s %10s executions, no finding\n' "$target" "${runs:-?}"
    continue
  fi
  failed=1
  printf '%-12s %10s executions, FINDING (exit status %s)\n' "$target" "${runs:-?}" "$status"
  mkdir -p "$build/findings/$target"
  if [[ -e "${artifacts[0]}" ]]; then cp "${artifacts[@]}" "$build/findings/$target/"; fi
  cp "$dir/log" "$build/findings/$target/log"
  echo "---- last lines of the $target log (whole log and inputs in $build/findings/$target/):"
  tail -n 40 "$dir/log"
  echo "----"
done
exit "$failed"
