# shellcheck shell=bash
# Sourced by the scripts: the one place where Pinlorn is configured and built.
#
#   pinlorn_build KIND BUILD_DIR [TARGET...]
#
# KIND is what the folder is for:
#   test     the test build (posix thread model) with the test programs, so
#            that a plain ctest in BUILD_DIR runs the suite (scripts/test);
#   run      the same build for running the program and its tools
#            (scripts/run, bench, soak); a new folder gets no test programs,
#            one that has them keeps them, so that its ctest still works;
#   release  what ships (win32 thread model), and nothing of the tests
#            (scripts/package).
# Without TARGETs it builds everything of the kind. Warnings are errors in CI.
#
#   pinlorn_build_quietly LOG KIND BUILD_DIR [TARGET...]
#
# does the same with the output in the file LOG; if the build fails, it shows
# the end of LOG and where the whole is, and fails.

pinlorn_build() {
  local kind=$1 dir=$2
  shift 2
  local root toolchain werror=OFF
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  [ "${CI:-}" = "true" ] && werror=ON
  local args=(-DCMAKE_BUILD_TYPE=Release -DPINLORN_WERROR=$werror)
  case $kind in
    test)
      toolchain=mingw-i686.cmake
      args+=(-DBUILD_TESTING=ON) ;;
    run)
      toolchain=mingw-i686.cmake
      grep -q '^BUILD_TESTING:' "$dir/CMakeCache.txt" 2>/dev/null || args+=(-DBUILD_TESTING=OFF) ;;
    release)
      toolchain=mingw-i686-win32.cmake ;;
    *)
      echo "pinlorn_build: unknown kind of build: $kind" >&2
      return 2 ;;
  esac

  local targets=()
  local target
  for target in "$@"; do targets+=(--target "$target"); done
  cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" "${args[@]}" &&
    cmake --build "$dir" -j"$(nproc)" "${targets[@]}"
}

pinlorn_build_quietly() {
  local log=$1
  shift
  mkdir -p "$(dirname "$log")"
  if ! pinlorn_build "$@" >"$log" 2>&1; then
    tail -n 30 "$log" >&2
    echo "The build failed; its whole output is in $log" >&2
    return 1
  fi
}
