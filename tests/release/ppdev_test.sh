#!/bin/bash
# ppdev_test.sh TARBALL DOUBLE PREFIX: the Linux release on a port that the
# ppdev double (the library DOUBLE, preloaded) stands in for. Its launcher
# starts its 64-bit Pinlorn.exe in 64-bit Wine, in the Wine prefix PREFIX of
# its own, on the test session's display:
# - with a port at 0x378 and the loopback plug, Pinlorn claims the port, and
#   a click on cell 2 writes DR 1 and lights cell 15;
# - without a port, the launcher says so, Pinlorn shows 255s, the library
#   names the cure once, and a click writes nothing;
# - without 64-bit Wine, the launcher says so and fails.
set -euo pipefail
tarball=$1 double=$2 prefix=$3
fail() { echo "ppdev_test: $*" >&2; exit 1; }
root=$(cd "$(dirname "$0")/../.." && pwd)
# The colour of a lit cell, as the program defines it (0x00BBGGRR).
bgr=$(sed -n 's/.*kLitColour = 0x\([0-9A-Fa-f]\{6\}\).*/\1/p' "$root/app/display.h")
lit_colour="#${bgr:4:2}${bgr:2:2}${bgr:0:2}"
lit_colour=${lit_colour^^}

work=$(mktemp -d)
cleanup() {
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
tar -xzf "$tarball" -C "$work"
launcher=$(echo "$work"/*/pinlorn)
[ -x "$launcher" ] || fail "no launcher in $tarball"

# until SECONDS WHAT COMMAND...: polls COMMAND until it succeeds.
until_true() {
  local deadline=$(( $(date +%s) + $1 )) what=$2
  shift 2
  until "$@"; do
    [ "$(date +%s)" -lt "$deadline" ] || fail "$what did not happen within the deadline"
    sleep 0.1
  done
}

# Pinlorn's window is its client area (no window manager): a cell's centre
# is the window's place plus the cell's place in the client area, from the
# window's layout: DR's cells 2 and 9, CR's cell 16, SR's cell 15.
declare -A cell=([2]="348 36" [9]="180 36" [16]="301 92" [15]="277 148")
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
# The colour most of the cell's middle shows, with the window on top.
colour() {
  local x y origin ox oy
  read -r x y <<<"${cell[$1]}"
  xdotool windowraise "$window" 2>/dev/null || return 1
  origin=$(xdotool getwindowgeometry "$window" 2>/dev/null | sed -n 's/ *Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
  [ -n "$origin" ] || return 1
  read -r ox oy <<<"$origin"
  import -display "$DISPLAY" -window root -crop "12x12+$((ox + x - 6))+$((oy + y - 6))" +repage -depth 8 \
         -format %c histogram:info:- 2>/dev/null | sort -rn | head -1 | grep -o '#[0-9A-F]\{6\}'
}
lit() { [ "$(colour "$1")" = "$lit_colour" ]; }
click() {
  local x y
  read -r x y <<<"${cell[$1]}"
  xdotool windowraise "$window" mousemove --window "$window" "$x" "$y" click 1
}
traced() { grep -q "$1" "$work/trace"; }
claimed() { grep -A1 -x PPEXCL "$work/trace" | grep -qx PPCLAIM; }
gone() { ! find_window; }
attempts() { grep -c ENOENT "$work/trace"; }
retried() { [ "$(attempts)" -gt "$1" ]; }

start() {
  : >"$work/trace"
  LD_PRELOAD=$double PINLORN_PPDEV_DOUBLE=$1 PINLORN_PPDEV_TRACE=$work/trace WINEPREFIX=$prefix \
    WINEDEBUG=-all "$launcher" >"$work/out" 2>"$work/err" &
  until_true 120 "Pinlorn's window" find_window
}
stop() {
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  until_true 30 "Pinlorn's end" gone
}

start 0x378:loopback
grep -q '^parallel port: /dev/parport0 at 0x378, can be opened$' "$work/out" ||
  fail "the launcher did not report the port: $(cat "$work/out")"
until_true 30 "the exclusive claim" claimed
# Cell 16 is grey until the first poll, and lit once the kernel's claim
# (CR 0x0C) shows.
until_true 30 "the window showing the claimed port" lit 16
lit 15 && fail "cell 15 is lit before any click"
click 2
until_true 30 "the write of DR 1" traced 'PPWDATA 0x01'
until_true 30 "cell 15 lighting" lit 15
stop

start ''
grep -q '^parallel port: none listed' "$work/out" || fail "the launcher did not report no port: $(cat "$work/out")"
until_true 30 "255 in DR" lit 2
lit 9 || fail "DR does not show 255"
click 2
# A claim is tried once a second: a try after the click shows it handled.
until_true 30 "another claim" retried "$(attempts)"
traced PPW && fail "a write reached the port: $(grep PPW "$work/trace")"
[ "$(grep -c 'modprobe parport_pc' "$work/err")" -eq 1 ] ||
  fail "the library did not name the cure once: $(cat "$work/err")"
stop

if PINLORN_WINE64=/nonexistent "$launcher" >"$work/out" 2>&1; then fail "the launcher started without Wine"; fi
grep -q '^64-bit Wine: not found' "$work/out" || fail "the launcher did not report Wine missing: $(cat "$work/out")"
echo "ppdev_test: ok"
