#!/usr/bin/env bash
# package_test.sh VERSION DIST WAITWINDOW WORK: each release zip in DIST, a row
# of the table below, holds what a user needs and nothing else; its sums are
# right; its Pinlorn.exe is built for the zip's processor, weighs at most the
# row's limit, is of the release's version, names its processor in its
# manifest and imports nothing that Windows of that processor lacks; its
# texts name the port library that this Pinlorn.exe needs.
#
# Each zip whose program this machine runs is then started as a user starts
# it: its Pinlorn.exe beside the zip's own virtual port, LPT1 listed. It must
# show its window and poll the port, and a click on pin 2 must write 0x01 to
# the data register. Where the test session's Wine cannot start it (a 64-bit
# program in 32-bit Wine), it runs in a 64-bit Wine prefix of its own in
# WORK, on the session's display. On a machine that runs no 32-bit code the
# win32 zip is checked in full but not started.
set -euo pipefail
version=$1 dist=$2 waitwindow=$3
mkdir -p "$4" && work=$(cd "$4" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
release=$root/tools/release
fail() { echo "package_test: $*" >&2; exit 1; }
# shellcheck source=scripts/build.sh
source "$root/scripts/build.sh"
# shellcheck source=scripts/wine-session.sh
source "$root/scripts/wine-session.sh"

# The zips: platform, processor, the most bytes its Pinlorn.exe may weigh.
zips=("win32 i686 102400" "win64 x86_64 122880")

# Where pin 2's cell lies in the client area: the data register's group box
# at (0, 8), the cell at (336, 16) in it, 24 pixels square.
cell2_x=$((0 + 336 + 12)) cell2_y=$((8 + 16 + 12))

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT

# check PLATFORM PROCESSOR LIMIT DIR: the zip's contents, unpacked into DIR.
check() {
  local platform=$1 processor=$2 limit=$3 dir=$4
  local zip=$dist/Pinlorn-$version-$platform.zip library listed expected size
  [ -f "$zip" ] || fail "no $platform zip of version $version in $dist"
  library=$(sh "$release/port_library.sh" "$processor")
  listed=$(python3 -c 'import sys, zipfile; print("\n".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "$zip")
  expected=$(printf '%s\n' Pinlorn.exe README.txt SHA256SUMS try-without-hardware/ \
               try-without-hardware/README.txt "try-without-hardware/$library" try-without-hardware/portctl.exe)
  [ "$listed" = "$expected" ] || fail "$platform: the zip holds:
$listed
instead of:
$expected"
  python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$dir"

  (cd "$dir" && sha256sum --quiet -c SHA256SUMS) || fail "$platform: SHA256SUMS does not match the files"
  [ "$(cut -c67- "$dir/SHA256SUMS" | sort)" = "$(cd "$dir" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | sort)" ] ||
    fail "$platform: SHA256SUMS does not list every file"

  for program in Pinlorn.exe "try-without-hardware/$library" try-without-hardware/portctl.exe; do
    [ "$(sh "$release/pe_processor.sh" "$dir/$program")" = "$processor" ] ||
      fail "$platform: $program is not built for $processor"
  done
  size=$(stat -c %s "$dir/Pinlorn.exe")
  [ "$size" -le "$limit" ] || fail "$platform: Pinlorn.exe is $size bytes, more than $limit"
  python3 "$release/check_resources.py" "$dir/Pinlorn.exe" "$version" >/dev/null
  sh "$release/check_imports.sh" "$dir/Pinlorn.exe" >/dev/null

  for text in README.txt try-without-hardware/README.txt; do
    grep -q "$(printf '\r$')" "$dir/$text" || fail "$platform: $text has no Windows line ends"
    ! grep -q '@[A-Z0-9_]*@' "$dir/$text" || fail "$platform: $text still holds a placeholder"
    grep -q "$library" "$dir/$text" || fail "$platform: $text does not name $library"
  done
  for word in Inp32 Out32 'writes 0 to the data' 'Without LPT1' try-without-hardware "win32.zip" "win64.zip"; do
    grep -q "$word" "$dir/README.txt" || fail "$platform: README.txt does not mention: $word"
  done
  echo "package_test: $platform zip checked (Pinlorn.exe $size bytes)"
}

# Whether this machine runs programs built for the processor at all.
machine_runs() { [ "$1" = x86_64 ] || pinlorn_runs_32bit_code; }

# Whether the session's Wine runs them: its own processor, and 32-bit
# programs too where it is 64-bit and the machine runs 32-bit code.
session_runs() {
  [ "${WINEARCH:-}" = win64 ] || [ "$1" = i686 ]
}

# start PLATFORM PROCESSOR DIR: the unpacked zip's Pinlorn.exe, as a user
# starts it. Runs in a subshell of its own: what it starts, lists and
# chooses ends with it.
start() {
  platform=$1 processor=$2 try=$3/try-without-hardware
  program='' listed_lpt1=false own_wine=false
  local window client_x client_y
  if ! session_runs "$processor"; then
    own_wine=true
    wine_use "$processor"
    wine_prefix_prepare "$work" unmanaged
    wineserver -k 2>/dev/null || true  # one that an earlier run left behind
    wine_server_start
  fi
  cleanup() {
    if [ -n "$program" ]; then kill "$program" 2>/dev/null || true; wait "$program" 2>/dev/null || true; fi
    if $listed_lpt1; then
      wine reg delete 'HKLM\HARDWARE\DEVICEMAP\PARALLEL PORTS' /v '\Device\Parallel0' /f >/dev/null 2>&1 || true
    fi
    # A Wine of its own ends with the test.
    if $own_wine; then wineserver -k 2>/dev/null || true; fi
  }
  trap cleanup EXIT

  # As the try folder's README says: Pinlorn.exe beside the virtual port, LPT1 listed.
  cp "$3/Pinlorn.exe" "$try/"
  if ! wine reg query 'HKLM\HARDWARE\DEVICEMAP\PARALLEL PORTS' /v '\Device\Parallel0' >/dev/null 2>&1; then
    listed_lpt1=true
    wine reg add 'HKLM\HARDWARE\DEVICEMAP\PARALLEL PORTS' /v '\Device\Parallel0' \
         /t REG_SZ /d '\DosDevices\LPT1' /f >/dev/null 2>&1
  fi
  (cd "$try" && exec wine Pinlorn.exe >/dev/null 2>&1) &
  program=$!
  window=$(wine "$waitwindow" Pinlorn 30) || fail "$platform: Pinlorn.exe from the zip showed no window"
  read -r _ _ _ _ client_x client_y <<<"${window//$'\r'/}"

  # The port lives while Pinlorn holds it: from a known state on (DR 0, log
  # cleared), it polls the zip's virtual port: reads of 0x378 reach the log.
  (cd "$try" && wine portctl.exe reset >/dev/null 2>&1) || fail "$platform: the zip's port tool cannot reset the port"
  port_log_shows "$platform" "$try" 'read   0x378' "does not poll the port"
  # A person's click on pin 2 sets it: the data register, 0 since the reset, is written 0x01.
  xdotool mousemove $((client_x + cell2_x)) $((client_y + cell2_y)) click 1
  port_log_shows "$platform" "$try" 'write  0x378  0x01' "wrote no 0x01 to the data register for a click on pin 2"
  echo "package_test: $platform zip started: window, polls and a click ok"
}

# port_log_shows PLATFORM TRY PATTERN FAILURE: the port's accesses since the
# reset, as the zip's port tool lists them (its whole log: 300 polling reads
# a second soon push an access out of the last few), come to show PATTERN
# within 30 s.
port_log_shows() {
  local deadline=$(( $(date +%s) + 30 ))
  until (cd "$2" && wine portctl.exe log 8192 2>/dev/null) | grep -q "$3"; do
    [ "$(date +%s)" -lt "$deadline" ] || fail "$1: Pinlorn.exe from the zip $4"
    kill -0 "$program" 2>/dev/null || fail "$1: Pinlorn.exe from the zip ended"
  done
}

for row in "${zips[@]}"; do
  read -r platform processor limit <<<"$row"
  mkdir -p "$unpacked/$platform"
  check "$platform" "$processor" "$limit" "$unpacked/$platform"
  if machine_runs "$processor"; then
    (start "$platform" "$processor" "$unpacked/$platform")
  else
    echo "package_test: $platform zip not started: this machine runs no 32-bit code"
  fi
done
