#!/usr/bin/env bash
# The Wine session of one build folder's test suite: a private Xvfb display,
# the Wine prefix of BUILD and one persistent wineserver, shared by every test
# of one ctest run and private to that build folder.
#
#   session.sh start BUILD ARCH     (the test session_start) starts it, with
#                                   the Wine for the build's processor ARCH
#                                   (i686 or x86_64: wine_use)
#   session.sh run BUILD COMMAND... runs COMMAND inside it
#   session.sh stop BUILD           (the test session_stop) stops all it started
#
# CTest runs start before the first test that needs the session and stop
# after the last, also when tests fail or time out (a fixture). Should ctest
# itself end before it gets to stop (Ctrl-C, killed), a watcher that start
# leaves behind notices and stops the session instead. Whatever a timed-out
# test left running in Wine ends with the wineserver.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/wine-session.sh
source "$here/../scripts/wine-session.sh"

usage() { echo "usage: session.sh start BUILD ARCH, session.sh stop BUILD, or session.sh run BUILD COMMAND..." >&2; exit 2; }
[ $# -ge 2 ] || usage
action=$1 build=$(cd "$2" && pwd)
shift 2
state=$build/wine-session.env

# The session's processes, as start recorded them: PINLORN_XVFB_PID,
# PINLORN_WATCHER_PID, DISPLAY and WINEPREFIX, and its Wine: PINLORN_WINE_ARCH.
load() {
  [ -f "$state" ] || return 1
  # shellcheck disable=SC1090
  source "$state"
}

# Is PID still the process we started, running PROGRAM? (A process id can
# be given to another process once ours has ended.)
ours() {
  [ -n "$1" ] && tr '\0' ' ' <"/proc/$1/cmdline" 2>/dev/null | grep -q -- "$2"
}

stop() {
  load || return 0
  export WINEPREFIX DISPLAY
  wineserver -k 2>/dev/null || true
  if ours "${PINLORN_XVFB_PID:-}" Xvfb; then
    kill "$PINLORN_XVFB_PID" 2>/dev/null || true
    # Not our child: wait until it has gone, and its display with it.
    for _ in $(seq 1 100); do kill -0 "$PINLORN_XVFB_PID" 2>/dev/null || break; sleep 0.05; done
  fi
  if [ "${PINLORN_WATCHER_PID:-}" != "$$" ] && ours "${PINLORN_WATCHER_PID:-}" "session.sh watch"; then
    kill "$PINLORN_WATCHER_PID" 2>/dev/null || true
  fi
  rm -f "$state"
}

case $action in
  start)
    [ $# -eq 1 ] || usage
    # A session left by a run that ended before its stop is stopped first.
    stop
    wine_use "$1"
    # The watcher follows the process that runs this test: ctest.
    runner=$PPID
    record() {
      printf 'PINLORN_XVFB_PID=%q\nPINLORN_WATCHER_PID=%q\nDISPLAY=%q\nWINEPREFIX=%q\nPINLORN_WINE_ARCH=%q\n' \
             "$PINLORN_XVFB_PID" "${PINLORN_WATCHER_PID:-}" "$DISPLAY" "$(wine_prefix_dir "$build")" \
             "$PINLORN_WINE_ARCH" >"$state.part"
      mv "$state.part" "$state"
    }
    # Whatever fails from here on, nothing started is left running.
    trap 'status=$?; [ $status -eq 0 ] || stop; exit $status' EXIT
    wine_xvfb_start setsid
    record
    setsid bash "$here/session.sh" watch "$build" "$runner" </dev/null >/dev/null 2>&1 &
    PINLORN_WATCHER_PID=$!
    record
    wine_prefix_prepare "$build" unmanaged
    wine_server_start
    echo "Wine session: display $DISPLAY, prefix $WINEPREFIX"
    ;;
  stop)
    stop
    ;;
  watch)
    [ $# -eq 1 ] || usage
    while kill -0 "$1" 2>/dev/null && [ -f "$state" ]; do sleep 1; done
    stop
    ;;
  run)
    [ $# -ge 1 ] || usage
    if ! load || ! ours "${PINLORN_XVFB_PID:-}" Xvfb; then
      echo "session.sh: no Wine session for $build: ctest starts one with the test session_start" >&2
      exit 1
    fi
    wine_use "$PINLORN_WINE_ARCH"
    export DISPLAY WINEPREFIX WINEDEBUG=-all
    exec "$@"
    ;;
  *) usage ;;
esac
