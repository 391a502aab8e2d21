#!/bin/bash
# ppdev_test.sh TARBALL DOUBLE PREFIX: the Linux release on a port that the
# ppdev double (the library DOUBLE, preloaded) stands in for, with the
# loopback plug. Its launcher reports the port and starts its 64-bit
# Pinlorn.exe in 64-bit Wine, in the Wine prefix PREFIX of its own, on the
# test session's display; Pinlorn claims the port, polls it, and a click on
# cell 2 writes DR 1, which the plug brings back on pin 15. Without 64-bit
# Wine the launcher says so and fails. What the library does on a missing or
# busy port is its unit test's (ppdev_port), what the window shows for a
# register the program's own end-to-end tests'.
set -euo pipefail
tarball=$1 double=$2 prefix=$3
fail() { echo "ppdev_test: $*" >&2; exit 1; }

work=$(mktemp -d)
cleanup() {
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
tar -xzf "$tarball" -C "$work"
launcher=$(echo "$work"/*/pinlorn)
[ -x "$launcher" ] || fail "no launcher in $tarball"

if PINLORN_WINE64=/nonexistent "$launcher" >"$work/out" 2>&1; then fail "the launcher started without Wine"; fi
grep -q '^64-bit Wine: not found' "$work/out" || fail "the launcher did not report Wine missing: $(cat "$work/out")"

# until SECONDS WHAT COMMAND...: polls COMMAND until it succeeds.
until_true() {
  local deadline=$(( $(date +%s) + $1 )) what=$2
  shift 2
  until "$@"; do
    [ "$(date +%s)" -lt "$deadline" ] || fail "$what did not happen within the deadline"
    sleep 0.1
  done
}

# Other tests show windows named Pinlorn too: this one's runs in this
# test's Wine prefix.
window=
find_window() {
  local id pid
  for id in $(xdotool search --onlyvisible --name '^Pinlorn$' 2>/dev/null); do
    pid=$(xdotool getwindowpid "$id" 2>/dev/null) || continue
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$prefix"; then
      window=$id
      return 0
    fi
  done
  return 1
}
# The trace's lines after the one matching $1 hold one matching $2.
traced_after() { sed -n "/$1/,\$p" "$work/trace" | grep -q "$2"; }

LD_PRELOAD=$double PINLORN_PPDEV_DOUBLE=0x378:loopback PINLORN_PPDEV_TRACE=$work/trace WINEPREFIX=$prefix \
  WINEDEBUG=-all "$launcher" >"$work/out" 2>"$work/err" &
until_true 120 "Pinlorn's window" find_window
grep -q '^parallel port: /dev/parport0 at 0x378, can be opened$' "$work/out" ||
  fail "the launcher did not report the port: $(cat "$work/out")"
until_true 30 "a poll of the claimed port" traced_after '^PPCLAIM$' '^PPRSTATUS 0x87$'
# Without a window manager the window is its client area: cell 2's centre
# is at (348, 36) in it.
xdotool windowraise "$window" mousemove --window "$window" 348 36 click 1
until_true 30 "the write of DR 1, read back on pin 15" traced_after '^PPWDATA 0x01$' '^PPRSTATUS 0x8F$'
grep -q PPEXCL "$work/trace" || fail "the port was not claimed exclusively"
if grep -q '^parallel port 0x' "$work/err"; then fail "the library reported a failure: $(cat "$work/err")"; fi
echo "ppdev_test: ok"
