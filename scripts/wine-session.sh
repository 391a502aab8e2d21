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

# wine_prefix_prepare PREFIX [unmanaged]: uses the 32-bit Wine prefix PREFIX,
# creating it on first use. "unmanaged" is for a display without a window
# manager: Wine then draws window frames itself, and hiding a window does
# not wait for a manager that never answers (about 2 s per window otherwise).
wine_prefix_prepare() {
  export WINEPREFIX=$1 WINEARCH=win32 WINEDEBUG=-all
  mkdir -p "$WINEPREFIX"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Preparing the Wine prefix $WINEPREFIX (first start takes a while)"
    WINEDLLOVERRIDES="mscoree,mshtml=" wineboot --init >/dev/null 2>&1
    # Wine's own fonts (System, MS Sans Serif, Marlett) do not always reach a
    # new prefix; without them Wine draws with wider substitutes.
    cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    if [ "${2:-}" = unmanaged ]; then
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    fi
    wineserver -w
  fi
  # A program that crashes ends, with the fault as its exit code, instead of
  # being held open by Wine's crash dialog. Prefixes made earlier get it too.
  if ! grep -qi '"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
      >/dev/null 2>&1
    wineserver -w
  fi
}

# Starts the persistent wineserver of the prefix and Wine's background
# processes, detached from our output: a test that started them itself would
# leave them holding its output pipe open.
wine_server_start() {
  wineserver -p
  wine cmd /c exit >/dev/null 2>&1 </dev/null
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

  wine_prefix_prepare "$build/wineprefix" unmanaged
  wine_server_start
}
