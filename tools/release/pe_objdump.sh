#!/bin/sh
# pe_objdump.sh PROGRAM: names the objdump that reads PROGRAM (an .exe or
# .dll): i686-w64-mingw32-objdump for a 32-bit program, as ships, and
# x86_64-w64-mingw32-objdump for a 64-bit one, as the test build makes on a
# machine that runs no 32-bit code. The PE header's optional header starts
# with 0x10b in a 32-bit program and 0x20b in a 64-bit one.
set -eu
[ $# -eq 1 ] && [ -f "$1" ] || { echo "usage: pe_objdump.sh PROGRAM" >&2; exit 2; }
header=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
case $(od -An -tx2 -j$((${header:-0} + 24)) -N2 "$1" 2>/dev/null | tr -d ' ') in
  010b) echo i686-w64-mingw32-objdump ;;
  020b) echo x86_64-w64-mingw32-objdump ;;
  *) echo "pe_objdump.sh: $1 is not a Windows program" >&2; exit 1 ;;
esac
