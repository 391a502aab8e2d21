#!/bin/sh
# pe_processor.sh PROGRAM: the processor a Windows program (an .exe or .dll)
# is built for, as the build names it: i686 for a 32-bit program, x86_64 for
# a 64-bit one. Its tools are then <processor>-w64-mingw32-objdump and so
# on, and its port library is the one port_library.sh names. The PE header's
# optional header starts with 0x10b in a 32-bit program and 0x20b in a
# 64-bit one.
set -eu
[ $# -eq 1 ] && [ -f "$1" ] || { echo "usage: pe_processor.sh PROGRAM" >&2; exit 2; }
header=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
case $(od -An -tx2 -j$((${header:-0} + 24)) -N2 "$1" 2>/dev/null | tr -d ' ') in
  010b) echo i686 ;;
  020b) echo x86_64 ;;
  *) echo "pe_processor.sh: $1 is not a Windows program" >&2; exit 1 ;;
esac
