#!/bin/sh
# tick-offset.sh NM OBJDUMP EXE HEADER: writes HEADER with the offset of the
# framework's tick procedure (TimerTick) from the image's preferred base, as
# the program's own symbols give it. A running program has the procedure at
# its module base plus this offset.
set -eu
nm=$1 objdump=$2 exe=$3 header=$4
# The procedure itself, not the compiler's split-off cold part of it.
address=$("$nm" -C "$exe" | awk '/[ :]TimerTick\(/ && !/\.cold$/ { print $1; exit }')
base=$("$objdump" -p "$exe" | awk '$1 == "ImageBase" { print $2; exit }')
if [ -z "$address" ] || [ -z "$base" ]; then
  echo "tick-offset.sh: no TimerTick symbol or image base in $exe" >&2
  exit 1
fi
offset=$(printf '0x%X' $((0x$address - 0x$base)))
cat >"$header.tmp" <<END
#pragma once
// Generated from the symbols of $(basename "$exe"): do not edit.
#include <cstdint>
constexpr uintptr_t kTimerTickOffset = $offset;
END
mv "$header.tmp" "$header"
