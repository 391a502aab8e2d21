#!/bin/sh
# reproducible.sh SOURCE WORK: scripts/package, run in two copies of the
# checkout SOURCE (its tracked and new files as they are now) that lie in
# different folders, one after the other, under different time zones and
# file modes, gives the same packages byte for byte. The first copy's
# packages stay in WORK/first/dist for the tests of their contents.
set -eu
src=$1 work=$2
fail() { echo "reproducible: $*" >&2; exit 1; }

# Both builds take the time of the checkout's commit, as the package's
# default does in a checkout; the copies are no checkouts.
epoch=$(git -C "$src" log -1 --format=%ct) || fail "$src is not a git checkout"

copy() {
  rm -rf "$1"
  mkdir -p "$1"
  (cd "$src" && git ls-files -z --cached --others --exclude-standard | xargs -0 tar -cf - --ignore-failed-read) |
    tar -xf - -C "$1"
}
package() {
  (cd "$1" && SOURCE_DATE_EPOCH=$epoch scripts/package >"$1.log" 2>&1) ||
    { cat "$1.log" >&2; fail "scripts/package failed in $1"; }
  # Each package's file name and SHA-256, as the package step prints them.
  awk '/^SHA-256 / {n = split(file, parts, "/"); print parts[n], $2} {file = $0}' "$1.log"
}

mkdir -p "$work"
copy "$work/first"
copy "$work/second copy, elsewhere"
first=$(package "$work/first")
second=$(umask 077 && TZ=Pacific/Chatham package "$work/second copy, elsewhere")
echo "first:"; echo "$first"
echo "second:"; echo "$second"
[ -n "$first" ] || fail "no package from the first build"
if [ "$first" != "$second" ]; then
  for sums in "$work/first"/build-release/*/package/SHA256SUMS "$work/second copy, elsewhere"/build-release/*/package/SHA256SUMS; do
    echo "== $sums" >&2
    cat "$sums" >&2
  done
  fail "two builds of the same sources gave different packages"
fi
