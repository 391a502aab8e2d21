#!/bin/sh
# tick-offset.sh MAP HEADER: writes HEADER with the offset of the framework's
# tick procedure (TimerTick) from the image's preferred base, as the link map
# of Pinlorn.exe gives them (the program ships stripped, without symbols). A
# running program has the procedure at its module base plus this offset.
set -eu
map=$1 header=$2
# Every function has a section of its own; the name may leave its address
# for the next line.
address=$(awk '$1 ~ /^\.text\$_ZN12_GLOBAL__N_19TimerTickE/ {
                 if (NF > 1) { print $2 } else { getline; print $1 }
                 exit
               }' "$map")
base=$(awk '$2 == "__image_base__" { print $1; exit }' "$map")
if [ -z "$address" ] || [ -z "$base" ]; then
  echo "tick-offset.sh: no TimerTick or image base in $map" >&2
  exit 1
fi
offset=$(printf '0x%X' $((address - base)))
cat >"$header.tmp" <<END
#pragma once
// Generated from the link map of Pinlorn.exe: do not edit.
#include <cstdint>
constexpr uintptr_t kTimerTickOffset = $offset;
END
mv "$header.tmp" "$header"
