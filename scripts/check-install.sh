#!/usr/bin/env bash
# Checks, in a fresh Debian root file system made with debootstrap (minbase),
# what a user of a fresh machine would see. Run by hand, as root, on Debian
# with debootstrap installed; not part of the test command.
#
#   scripts/check-install.sh test <suite>
#       A clean clone of the committed sources passes the test command
#       (scripts/test.sh; FUZZ_SECONDS is passed on).
#   scripts/check-install.sh package <suite> <file.deb>
#       The package installs with apt; vorlune-forge is on the PATH; started
#       from an empty folder with LANGUAGE=de and a German locale it speaks
#       German, loads the sample game given by path and writes its exports
#       into that folder; man vorlune-forge shows the page; lintian finds no
#       error; apt remove leaves no file of the package behind.
#
# <suite> is a Debian release name such as bookworm or trixie. The root is
# made under ${CHECK_ROOT_DIR:-/var/tmp} and removed at the end unless
# KEEP_ROOT=1.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

usage() {
  sed -n '2,/^set -euo/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//' >&2
  exit 2
}
(($# >= 2)) || usage
kind=$1
suite=$2
deb=${3:-}
case "$kind" in
  test) ;;
  package) [[ -f "$deb" ]] || usage ;;
  *) usage ;;
esac
if [[ $(id -u) -ne 0 ]]; then
  echo "Run as root: debootstrap and chroot need it." >&2
  exit 2
fi

root=$(mktemp -d "${CHECK_ROOT_DIR:-/var/tmp}/vlf-check-$suite-$kind.XXXXXX")
# A root file system's top folder is readable by all (apt downloads as _apt).
chmod 755 "$root"
cleanup() {
  for mount in "$root/dev" "$root/sys" "$root/proc"; do
    if mountpoint -q "$mount"; then umount -R "$mount" || umount -lR "$mount"; fi
  done
  if [[ "${KEEP_ROOT:-0}" == 1 ]]; then
    echo "Root kept in $root"
  else
    rm -rf --one-file-system "$root"
  fi
}
trap cleanup EXIT

echo "== debootstrap $suite into $root"
debootstrap --variant=minbase "$suite" "$root" http://deb.debian.org/debian >"$root.debootstrap.log" 2>&1 ||
  { tail -n 20 "$root.debootstrap.log"; exit 1; }
rm -f "$root.debootstrap.log"
mount -t proc proc "$root/proc"
mount -t sysfs sys "$root/sys"
mount --rbind /dev "$root/dev"
cp /etc/resolv.conf "$root/etc/resolv.conf"

in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root TERM=dumb "$@"; }

if [[ "$kind" == test ]]; then
  echo "== Clean clone of $(git rev-parse --short HEAD)"
  git clone -q "$repo" "$root/src"
  echo "== scripts/test.sh in $suite"
  in_root FUZZ_SECONDS="${FUZZ_SECONDS:-25}" bash -c 'cd /src && scripts/test.sh'
  echo "== PASS: the test command passes on $suite"
  exit 0
fi

failures=0
check() {
  local what=$1
  shift
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAIL: $what"
    failures=$((failures + 1))
  fi
}

package=$(basename "$deb")
cp "$deb" "$root/tmp/$package"
mkdir -p "$root/opt/game"
cp examples/vorlune_sample.swf "$root/opt/game/"

echo "== apt install ./$package"
in_root DEBIAN_FRONTEND=noninteractive bash -c "apt-get update -qq && cd /tmp && apt install -y -q ./$package" |
  tail -n 3
check "vorlune-forge is on the PATH" in_root bash -c 'command -v vorlune-forge'
in_root dpkg -L vorlune-forge >"$root/tmp/files"

# What a user adds to read manual pages and to have a German locale.
in_root DEBIAN_FRONTEND=noninteractive apt-get install -y -qq man-db locales >/dev/null
echo "de_DE.UTF-8 UTF-8" >>"$root/etc/locale.gen"
in_root locale-gen >/dev/null

check "man vorlune-forge shows the page" \
  bash -c "chroot '$root' env -i PATH=/usr/bin:/bin MANPAGER=cat MANWIDTH=80 man vorlune-forge | grep -q 'list, export and replace the resources'"

mkdir -p "$root/srv/exports"
printf '%s\n' /opt/game/vorlune_sample.swf 2 2 all 0 6 2 '' 0 |
  in_root LANGUAGE=de LANG=de_DE.UTF-8 bash -c 'cd /srv/exports && vorlune-forge' >"$root/tmp/session" 2>&1 || true
check "the session is in German" grep -q 'Welche Datei möchtest du bearbeiten' "$root/tmp/session"
check "the session ends in German" grep -q 'Auf Wiedersehen' "$root/tmp/session"
check "the stage files were exported into the folder" \
  test "$(find "$root/srv/exports" -name '*.xml' | wc -l)" -eq 8
check "the game was written into the folder" test -s "$root/srv/exports/Vorlune_out.swf"

if command -v lintian >/dev/null; then
  check "lintian finds no error" bash -c "! lintian '$deb' 2>&1 | grep -E '^E: '"
else
  echo "skipped: lintian is not installed here"
fi

echo "== apt remove vorlune-forge"
in_root DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq vorlune-forge >/dev/null
left=()
while IFS= read -r path; do
  [[ "$path" == /. || -z "$path" ]] && continue
  # Folders that other packages share (/usr/bin, /usr/share/man/man1, ...)
  # stay; the package's own files and folders must be gone.
  if [[ -d "$root$path" && ! -L "$root$path" ]]; then
    [[ -n "$(ls -A "$root$path")" ]] || left+=("$path")
  elif [[ -e "$root$path" || -L "$root$path" ]]; then
    left+=("$path")
  fi
done <"$root/tmp/files"
check "apt remove leaves no file of the package behind" test "${#left[@]}" -eq 0
((${#left[@]} == 0)) || printf '  left: %s\n' "${left[@]}"

if ((failures)); then
  echo "== $failures check(s) failed; the session was:"
  cat "$root/tmp/session"
  exit 1
fi
echo "== PASS: the package checks pass on $suite"
