#!/bin/sh
# check_imports.sh PROGRAM DLL: PROGRAM imports Inp32 and Out32 by name from
# the port I/O library of its processor and only Windows system DLLs besides;
# DLL, the virtual port, has that library's name and exports both names
# undecorated.
set -eu
program=$1 dll=$2
fail() { echo "check_imports: $*" >&2; exit 1; }
release=$(dirname "$0")/../../tools/release
processor=$(sh "$release/pe_processor.sh" "$program")
library=$(sh "$release/port_library.sh" "$processor")
objdump() { "$processor-w64-mingw32-objdump" -p "$1"; }

imports=$(objdump "$program")
dlls=$(printf '%s\n' "$imports" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
[ -n "$dlls" ] || fail "no imports found in $program"
for name in $dlls; do
  case " $library kernel32.dll user32.dll gdi32.dll advapi32.dll comctl32.dll msvcrt.dll ntdll.dll shell32.dll ole32.dll " in
    *" $name "*) ;;
    *) fail "$program imports $name" ;;
  esac
done
# The name entries of the library's block: "<hint> <name>" lines up to the next blank line.
names=$(printf '%s\n' "$imports" | awk -v dll="DLL Name: $library" 'index($0, dll) {on=1; next} on && /^$/ {exit} on' | awk 'NF == 3 && $2 ~ /^[0-9]+$/ {print $3}')
for fn in Inp32 Out32; do
  printf '%s\n' "$names" | grep -qx "$fn" || fail "$fn is not imported by name from $library (got: $names)"
done

[ "$(basename "$dll")" = "$library" ] || fail "the virtual port is $(basename "$dll"), not $library"
exports=$(objdump "$dll" | awk '/\[Ordinal\/Name Pointer\] Table/ {on=1; next} on && /^$/ {exit} on {print $NF}')
for fn in Inp32 Out32; do
  printf '%s\n' "$exports" | grep -qx "$fn" || fail "$dll does not export $fn undecorated (got: $exports)"
done
echo "check_imports: ok"
