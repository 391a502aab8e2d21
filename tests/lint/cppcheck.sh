#!/bin/sh
# cppcheck.sh SOURCE BUILD: cppcheck's warning, performance and portability
# checks over the program's and the tools' sources, for 32-bit and 64-bit
# Windows; any finding fails. This file is the one list of what is checked.
#
# The Windows headers are not read: cppcheck's own description of the
# Windows API (--library=windows) stands in for them. No configuration is
# fixed with -D, so that every #if branch is checked (both processors of the
# fault guard, each variant of the virtual port). The tick procedure's offset
# is a header the build makes (BUILD/tools/hostile).
set -eu
src=$1 build=$2
cd "$src"
paths="app framework common tools"
includes="-I framework -I app -I common -I tools/vport -I tools/hostile -I $build/tools/hostile"
status=0
for platform in win32A win64; do
  echo "cppcheck, $platform: $paths"
  # shellcheck disable=SC2086
  cppcheck --enable=warning,performance,portability --std=c++20 --library=windows \
           --platform="$platform" $includes --error-exitcode=1 --quiet $paths || status=1
done
exit $status
