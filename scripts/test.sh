#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in an optimised
# build and once under AddressSanitizer and UndefinedBehaviorSanitizer; runs
# the tests of the work spread over threads under ThreadSanitizer; then runs
# each fuzz target for a bounded time (scripts/fuzz.sh, FUZZ_SECONDS). The
# builds of the tests treat every compiler warning as an error.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

jobs=$(nproc)

echo "== Release build and tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVLF_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== Sanitizer build and tests"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVLF_SANITIZE=ON -DVLF_WERROR=ON >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions="$PWD/scripts/lsan.supp" ctest --test-dir build-asan --output-on-failure -j"$jobs"

# Only the test program is built, at -O1 with line tables alone, which is
# all the reports' stacks need; any report fails the test that made it.
echo "== ThreadSanitizer build and the tests of parallel work"
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Release -DVLF_TSAN=ON -DVLF_WERROR=ON \
  -DCMAKE_CXX_FLAGS_RELEASE="-O1 -g1" -DCMAKE_C_FLAGS_RELEASE="-O1 -g1" >/dev/null
cmake --build build-tsan -j"$jobs" --target vorlune_tests
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build-tsan --output-on-failure -j"$jobs" \
  -R 'Zlib|ThreadPool|BulkExport|SwfHeader'

echo "== Fuzzing"
scripts/fuzz.sh
