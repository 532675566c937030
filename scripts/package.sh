#!/usr/bin/env bash
# Builds the Debian package vorlune-forge_<version>_<arch>.deb in the
# repository's root, for installation with `apt install ./<file>`. The
# program is built with Debian's hardening flags and installed under /usr;
# the package's dependencies are the libraries dpkg-shlibdeps finds it
# linked against.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

build=build-package
# Debian's hardening flags, all of them; CMake reads no CPPFLAGS, so the
# preprocessor's (_FORTIFY_SOURCE) go with the compilers' flags.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
eval "$(dpkg-buildflags --export=sh)"
export CFLAGS="$CPPFLAGS $CFLAGS" CXXFLAGS="$CPPFLAGS $CXXFLAGS"
rm -rf "$build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DVLF_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB >/dev/null)
for deb in "$build"/*.deb; do
  mv "$deb" .
  echo "Built $(basename "$deb")"
  dpkg-deb --field "$(basename "$deb")" Package Version Architecture Depends
done
