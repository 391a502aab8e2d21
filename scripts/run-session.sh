# shellcheck shell=bash
# Sourced by scripts/run: the Wine session for running Pinlorn interactively.
# run_session_start RUN_DIR uses the caller's X display when one is reachable
# and otherwise starts a private Xvfb; either way one persistent wineserver
# runs for the prefix in RUN_DIR (wine_prefix_dir), kept apart from the test suite's
# prefix so that a run and a test run never stop each other's wineserver.
# It sets PINLORN_RUN_MODE to "display" or "screenshot" and arranges for
# everything it started to be stopped when the calling script exits.
# shellcheck disable=SC2034  # PINLORN_RUN_MODE is read by the caller

# shellcheck source=scripts/wine-session.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-session.sh"

run_session_stop() {
  rm -f "$PINLORN_RUN_DIR/session"
  wine_session_stop
}

run_session_start() {
  PINLORN_RUN_DIR=$1
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    PINLORN_RUN_MODE=display
    trap run_session_stop EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    wine_prefix_prepare "$PINLORN_RUN_DIR"
    wine_server_start
  else
    if ! command -v Xvfb >/dev/null; then
      echo "No display: \$DISPLAY (${DISPLAY:-unset}) cannot be reached, and Xvfb is missing" \
           "(scripts/bootstrap run installs it)" >&2
      return 1
    fi
    PINLORN_RUN_MODE=screenshot
    wine_session_start "$PINLORN_RUN_DIR"
    trap run_session_stop EXIT
  fi
}
