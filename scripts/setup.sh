#!/usr/bin/env bash
# Installs the Debian packages the program, its tests and its Debian package
# need, when missing. Runs apt-get through sudo unless already root. Every
# name is unversioned, so the same list serves Debian 12 and Debian 13
# (libclang-rt-dev brings the clang runtime of the installed clang).
set -euo pipefail

packages=(
  g++ make cmake pkg-config
  zlib1g-dev liblzma-dev
  libminizip-dev libreadline-dev nlohmann-json3-dev liblodepng-dev libmpg123-dev libexpat1-dev nettle-dev
  libsndfile1-dev libsoxr-dev libmp3lame-dev libavcodec-dev
  libturbojpeg0-dev libgif-dev libwebp-dev libstb-dev
  gettext
  locales # the sources from which the tests make a German locale
  libgtest-dev
  clang libclang-rt-dev
  dpkg-dev file
  lame mpg123 python3 python3-pil imagemagick zip unzip
  sox flac vorbis-tools opus-tools libjpeg-turbo-progs # seeds of the fuzz targets, the benchmarks
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
