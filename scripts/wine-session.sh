# Sourced by the scripts: a private X display and Wine prefix for one run.
# wine_session_start BUILD_DIR starts Xvfb on a free display number and one
# persistent wineserver for the prefix BUILD_DIR/wineprefix; it arranges for
# both to be stopped when the calling script exits, also on failure or Ctrl-C.

wine_session_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k 2>/dev/null || true; fi
  if [ -n "${PINLORN_XVFB_PID:-}" ]; then
    kill "$PINLORN_XVFB_PID" 2>/dev/null || true
    wait "$PINLORN_XVFB_PID" 2>/dev/null || true
    PINLORN_XVFB_PID=
  fi
}

wine_session_start() {
  local build=$1 display n
  trap wine_session_stop EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM

  for n in $(seq 91 190); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
  done
  [ -n "${display:-}" ] || { echo "no free X display number" >&2; return 1; }
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  PINLORN_XVFB_PID=$!
  export DISPLAY=$display
  for n in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && break
    kill -0 "$PINLORN_XVFB_PID" 2>/dev/null || { echo "Xvfb failed to start" >&2; return 1; }
    sleep 0.1
  done

  export WINEPREFIX=$build/wineprefix WINEARCH=win32 WINEDEBUG=-all
  mkdir -p "$WINEPREFIX"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Preparing the Wine prefix $WINEPREFIX (first start takes a while)"
    WINEDLLOVERRIDES="mscoree,mshtml=" wineboot --init >/dev/null 2>&1
    # No window manager runs on the private display: Wine then draws window
    # frames itself, and hiding a window does not wait for a manager that
    # never answers (about 2 s per window otherwise).
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wineserver -w
  fi
  wineserver -p
  # Start Wine's background processes now, detached from our output: a test
  # that started them itself would leave them holding its output pipe open.
  wine cmd /c exit >/dev/null 2>&1 </dev/null
}
