#!/bin/sh
# check_imports.sh PROGRAM DLL: PROGRAM imports Inp32 and Out32 by name from
# inpout32.dll and only Windows system DLLs besides; DLL exports both names
# undecorated.
set -eu
program=$1 dll=$2
fail() { echo "check_imports: $*" >&2; exit 1; }
# The objdump for a 32-bit or a 64-bit program.
objdump() { "$(sh "$(dirname "$0")/../../tools/release/pe_objdump.sh" "$1")" -p "$1"; }

imports=$(objdump "$program")
dlls=$(printf '%s\n' "$imports" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
[ -n "$dlls" ] || fail "no imports found in $program"
for name in $dlls; do
  case $name in
    inpout32.dll|kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|comctl32.dll|msvcrt.dll|ntdll.dll|shell32.dll|ole32.dll) ;;
    *) fail "$program imports $name" ;;
  esac
done
# The name entries of the inpout32.dll block: "<hint> <name>" lines up to the next blank line.
names=$(printf '%s\n' "$imports" | awk '/DLL Name: inpout32.dll/ {on=1; next} on && /^$/ {exit} on' | awk 'NF == 3 && $2 ~ /^[0-9]+$/ {print $3}')
for fn in Inp32 Out32; do
  printf '%s\n' "$names" | grep -qx "$fn" || fail "$fn is not imported by name from inpout32.dll (got: $names)"
done

exports=$(objdump "$dll" | awk '/\[Ordinal\/Name Pointer\] Table/ {on=1; next} on && /^$/ {exit} on {print $NF}')
for fn in Inp32 Out32; do
  printf '%s\n' "$exports" | grep -qx "$fn" || fail "$dll does not export $fn undecorated (got: $exports)"
done
echo "check_imports: ok"
