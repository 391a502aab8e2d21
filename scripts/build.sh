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
#   release-i686, release-x86_64
#            what ships for 32-bit or for 64-bit Windows (win32 thread
#            model), and nothing of the tests (scripts/package);
#   ppdev    the Linux port library, its placeholder and its bench
#            (tools/ppdev), a native build for 64-bit Linux with Wine's
#            winegcc (scripts/package, bench, run --ppdev).
# Without TARGETs it builds everything of the kind. Warnings are errors in CI.
# The test and run builds are for the processor pinlorn_test_arch names.
#
#   pinlorn_test_arch
#
# prints the processor the test and run builds are for, and so which Wine runs
# them: i686 (32-bit Wine) where this machine runs 32-bit x86 code, x86_64
# (64-bit Wine) where it runs 64-bit code only, as a kernel without IA-32
# emulation does. PINLORN_TEST_ARCH=i686|x86_64 chooses instead.
#
#   pinlorn_virtual_port BUILD_DIR
#
# prints the path of the virtual port in a test or run build: the port I/O
# library of the build's processor, under the name that processor's program
# imports (tools/release/port_library.sh).
#
#   pinlorn_linux_release DIR PINLORN_EXE PPDEV_DIR VERSION
#
# lays out the Linux release in DIR, as its tarball holds it: the 64-bit
# PINLORN_EXE, the port library and its placeholder from the ppdev build
# PPDEV_DIR, the launcher pinlorn and the README, with fixed modes.
#
#   pinlorn_build_quietly LOG KIND BUILD_DIR [TARGET...]
#
# does the same with the output in the file LOG; if the build fails, it shows
# the end of LOG and where the whole is, and fails.

pinlorn_test_arch() {
  case ${PINLORN_TEST_ARCH:-} in
    i686|x86_64) echo "$PINLORN_TEST_ARCH"; return ;;
    "") ;;
    *) echo "PINLORN_TEST_ARCH is i686 or x86_64, not: $PINLORN_TEST_ARCH" >&2; return 2 ;;
  esac
  if pinlorn_runs_32bit_code; then echo i686; else echo x86_64; fi
}

# Does the kernel itself run 32-bit x86 programs? It starts a 32-bit Linux
# program of 84 bytes that does nothing but exit with 0. An emulator that
# binfmt_misc puts in front of such programs (qemu-i386) would start it too,
# but runs Wine far too slowly to test with: then the answer is no.
pinlorn_runs_32bit_code() {
  local handler probe status
  for handler in /proc/sys/fs/binfmt_misc/*; do
    [ -f "$handler" ] || continue
    if grep -qx enabled "$handler" 2>/dev/null &&
       grep -q '^magic 7f454c4601010100000000000000000002000300' "$handler" 2>/dev/null; then
      return 1
    fi
  done
  probe=$(mktemp) || return 1
  # ELF header and one loadable segment at 0x08048000; the code at 0x54 is
  # mov eax, 1 (exit); xor ebx, ebx; int 0x80.
  printf '%b' '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
              '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' \
              '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' \
              '\x00\x00\x00\x00' \
              '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' \
              '\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' \
              '\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe"
  chmod +x "$probe"
  status=0
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  [ "$status" -eq 0 ]
}

pinlorn_build() {
  local kind=$1 dir=$2
  shift 2
  local root toolchain werror=OFF
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  [ "${CI:-}" = "true" ] && werror=ON
  local targets=()
  local target
  for target in "$@"; do targets+=(--target "$target"); done
  if [ "$kind" = ppdev ]; then
    cmake -S "$root/tools/ppdev" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DPPDEV_WERROR=$werror &&
      cmake --build "$dir" -j"$(nproc)" "${targets[@]}"
    return
  fi
  local args=(-DCMAKE_BUILD_TYPE=Release -DPINLORN_WERROR=$werror)
  case $kind in
    test)
      toolchain=mingw-$(pinlorn_test_arch).cmake || return
      args+=(-DBUILD_TESTING=ON) ;;
    run)
      toolchain=mingw-$(pinlorn_test_arch).cmake || return
      grep -q '^BUILD_TESTING:' "$dir/CMakeCache.txt" 2>/dev/null || args+=(-DBUILD_TESTING=OFF) ;;
    release-i686|release-x86_64)
      toolchain=mingw-${kind#release-}-win32.cmake ;;
    *)
      echo "pinlorn_build: unknown kind of build: $kind" >&2
      return 2 ;;
  esac

  # A folder configured for the other processor is configured afresh (CMake
  # keeps the compilers it found first); its Wine prefix stays.
  if [ -f "$dir/CMakeCache.txt" ] &&
     [ "$(sed -n 's/^CMAKE_TOOLCHAIN_FILE:[A-Z]*=//p' "$dir/CMakeCache.txt")" != "$root/cmake/$toolchain" ]; then
    echo "pinlorn_build: $dir was configured for another processor; configuring it for ${toolchain%.cmake}"
    rm -rf "$dir/CMakeCache.txt" "$dir/CMakeFiles" "$dir/shipped"
  fi

  cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" "${args[@]}" &&
    cmake --build "$dir" -j"$(nproc)" "${targets[@]}"
}

pinlorn_virtual_port() {
  local root library
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  library=$(sh "$root/tools/release/port_library.sh" "$(pinlorn_test_arch)") || return
  echo "$1/tools/vport/$library"
}

pinlorn_linux_release() {
  local dir=$1 exe=$2 ppdev=$3 version=$4
  local root library
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  library=$(sh "$root/tools/release/port_library.sh" x86_64) || return
  rm -rf "$dir"
  mkdir -p "$dir" &&
    cp "$exe" "$ppdev/$library" "$dir/" &&
    cp "$ppdev/$library.so" "$root/tools/ppdev/pinlorn" "$dir/" &&
    sed -e "s/@VERSION@/$version/g" -e "s/@PORT_LIBRARY@/$library/g" \
        "$root/docs/release/linux-README.txt" >"$dir/README" &&
    chmod 755 "$dir" "$dir/pinlorn" "$dir/$library.so" &&
    chmod 644 "$dir/Pinlorn.exe" "$dir/$library" "$dir/README"
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
