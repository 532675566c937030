#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program from the
# repository's root (it finds its translations, in ./locale, from any folder).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target vorlune-forge translations >/dev/null
exec build/vorlune-forge
