# shellcheck shell=bash
# Sourced by the scripts and by the test suite's session (tests/session.sh):
# a private X display and Wine prefix.
# wine_use ARCH first chooses the Wine for programs built for ARCH.
# wine_session_start DIR starts Xvfb on a free display and one persistent
# wineserver for the prefix of DIR (wine_prefix_prepare); it arranges for
# both to be stopped when the calling script exits, also on failure or Ctrl-C.

# wine_use i686|x86_64: the Wine that runs programs built for that processor
# (scripts/build.sh, pinlorn_test_arch), from here on: 32-bit Wine and a
# win32 prefix, or 64-bit Wine and a win64 prefix. For 64-bit, "wine" on
# PATH becomes the 64-bit loader (scripts/wine64/wine); wineserver is one
# program for both. PINLORN_WINE_ARCH keeps the choice for whoever records
# the session.
wine_use() {
  case $1 in
    i686) export WINEARCH=win32 ;;
    x86_64)
      export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
      case ":$PATH:" in
        *":$PINLORN_WINE64_BIN:"*) ;;
        *) export PATH="$PINLORN_WINE64_BIN:$PATH" ;;
      esac ;;
    *) echo "wine_use: no Wine for programs built for: $1" >&2; return 2 ;;
  esac
  PINLORN_WINE_ARCH=$1
}
PINLORN_WINE64_BIN=$(cd "$(dirname "${BASH_SOURCE[0]}")/wine64" && pwd)

# wine_prefix_dir DIR: the Wine prefix in DIR for the Wine wine_use chose.
# The two kinds of prefix cannot be mixed: a 32-bit one is DIR/wineprefix,
# a 64-bit one DIR/wineprefix64.
wine_prefix_dir() {
  if [ "${WINEARCH:-}" = win64 ]; then echo "$1/wineprefix64"; else echo "$1/wineprefix"; fi
}

wine_session_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k 2>/dev/null || true; fi
  if [ -n "${PINLORN_XVFB_PID:-}" ]; then
    kill "$PINLORN_XVFB_PID" 2>/dev/null || true
    wait "$PINLORN_XVFB_PID" 2>/dev/null || true
    PINLORN_XVFB_PID=
  fi
}

# wine_xvfb_start [setsid]: starts Xvfb on a display number that no other X
# server holds, and exports DISPLAY once it accepts clients. Xvfb picks the
# number itself (-displayfd), so two sessions started at the same moment
# never take the same one. PINLORN_XVFB_PID is its process. "setsid" starts
# it in a session of its own, apart from the caller's terminal and signals.
# Its output goes nowhere: it must not hold the caller's output open.
wine_xvfb_start() {
  local numberfile n
  numberfile=$(mktemp)
  if [ "${1:-}" = setsid ]; then
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
      3>"$numberfile" </dev/null >/dev/null 2>&1 &
  else
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
      3>"$numberfile" </dev/null >/dev/null 2>&1 &
  fi
  PINLORN_XVFB_PID=$!
  for n in $(seq 1 200); do
    [ -s "$numberfile" ] && break
    kill -0 "$PINLORN_XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  n=$(tr -dc 0-9 <"$numberfile")
  rm -f "$numberfile"
  if [ -z "$n" ]; then
    kill "$PINLORN_XVFB_PID" 2>/dev/null || true
    PINLORN_XVFB_PID=
    echo "Xvfb failed to start" >&2
    return 1
  fi
  export DISPLAY=:$n
}

# wine_prefix_prepare DIR [unmanaged]: uses the Wine prefix of DIR
# (wine_prefix_dir) for the Wine wine_use chose, creating it on first use. "unmanaged" is for a display without a window
# manager: Wine then draws window frames itself, and hiding a window does
# not wait for a manager that never answers (about 2 s per window otherwise).
wine_prefix_prepare() {
  [ -n "${PINLORN_WINE_ARCH:-}" ] || wine_use i686
  WINEPREFIX=$(wine_prefix_dir "$1")
  export WINEPREFIX WINEDEBUG=-all
  mkdir -p "$WINEPREFIX"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Preparing the Wine prefix $WINEPREFIX (first start takes a while)"
    WINEDLLOVERRIDES="mscoree,mshtml=" wine wineboot --init </dev/null >/dev/null 2>&1
    # Wine's own fonts (System, MS Sans Serif, Marlett) do not always reach a
    # new prefix; without them Wine draws with wider substitutes.
    cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    if [ "${2:-}" = unmanaged ]; then
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
        </dev/null >/dev/null 2>&1
    fi
    wineserver -w
  fi
  # A program that crashes ends, with the fault as its exit code, instead of
  # being held open by Wine's crash dialog. Prefixes made earlier get it too.
  if ! grep -qi '"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
      </dev/null >/dev/null 2>&1
    wineserver -w
  fi
}

# Starts the persistent wineserver of the prefix and Wine's background
# processes, detached from our output: a test that started them itself would
# leave them holding its output pipe open.
wine_server_start() {
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1
}

wine_session_start() {
  local dir=$1
  trap wine_session_stop EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  wine_xvfb_start
  wine_prefix_prepare "$dir" unmanaged
  wine_server_start
}
