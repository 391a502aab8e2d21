#!/bin/sh
# package_test.sh ZIP VERSION WAITWINDOW: the release zip holds what a user
# needs and nothing else; its sums are right; its Pinlorn.exe is 100 KB or
# less and of the release's version; and it starts under Wine from the try
# folder, beside the zip's own virtual port, and shows its window and polls
# the port. Runs in the test session's Wine prefix and display.
set -eu
zip=$1 version=$2 waitwindow=$3
fail() { echo "package_test: $*" >&2; exit 1; }
root=$(cd "$(dirname "$0")/../.." && pwd)

[ -f "$zip" ] || fail "no zip at $zip"
case $(basename "$zip") in "Pinlorn-$version-win32.zip") ;; *) fail "the zip is not named for version $version: $zip" ;; esac

listed=$(python3 -c 'import sys, zipfile; print("\n".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "$zip")
expected="Pinlorn.exe
README.txt
SHA256SUMS
try-without-hardware/
try-without-hardware/README.txt
try-without-hardware/inpout32.dll
try-without-hardware/portctl.exe"
[ "$listed" = "$expected" ] || fail "the zip holds:
$listed
instead of:
$expected"

dir=$(mktemp -d)
program= listed_lpt1=false
cleanup() {
  if [ -n "$program" ]; then kill "$program" 2>/dev/null || true; wait "$program" 2>/dev/null || true; fi
  if $listed_lpt1; then
    wine reg delete 'HKLM\HARDWARE\DEVICEMAP\PARALLEL PORTS' /v '\Device\Parallel0' /f >/dev/null 2>&1 || true
  fi
  rm -rf "$dir"
}
trap cleanup EXIT
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$dir"

(cd "$dir" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the files"
summed=$(cut -c67- "$dir/SHA256SUMS" | sort)
files=$(cd "$dir" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | sort)
[ "$summed" = "$files" ] || fail "SHA256SUMS does not list every file"

size=$(stat -c %s "$dir/Pinlorn.exe")
[ "$size" -le 102400 ] || fail "Pinlorn.exe is $size bytes, more than 100 KB"
python3 "$root/tools/release/check_version.py" "$dir/Pinlorn.exe" "$version" >/dev/null
sh "$root/tools/release/check_imports.sh" "$dir/Pinlorn.exe" >/dev/null

for text in README.txt try-without-hardware/README.txt; do
  grep -q "$(printf '\r$')" "$dir/$text" || fail "$text has no Windows line ends"
  ! grep -q '@VERSION@' "$dir/$text" || fail "$text still holds a placeholder"
done
for word in inpout32.dll Inp32 Out32 'writes 0 to the data' 'Without LPT1' try-without-hardware; do
  grep -q "$word" "$dir/README.txt" || fail "README.txt does not mention: $word"
done

# A 32-bit program runs only in 32-bit Wine. The session of a 64-bit test
# build, on a machine that runs no 32-bit code, has 64-bit Wine alone: there
# the zip is checked as above, and the test says that its program was not
# started and counts as skipped.
if [ "${WINEARCH:-}" = win64 ]; then
  echo "package_test: the zip is as it should be, but its 32-bit Pinlorn.exe was not started: this Wine runs 64-bit programs only"
  exit 77
fi

# As the try folder's README says: Pinlorn.exe beside the virtual port, LPT1 listed.
try=$dir/try-without-hardware
cp "$dir/Pinlorn.exe" "$try/"
if ! wine reg query 'HKLM\HARDWARE\DEVICEMAP\PARALLEL PORTS' /v '\Device\Parallel0' >/dev/null 2>&1; then
  listed_lpt1=true
  wine reg add 'HKLM\HARDWARE\DEVICEMAP\PARALLEL PORTS' /v '\Device\Parallel0' \
       /t REG_SZ /d '\DosDevices\LPT1' /f >/dev/null 2>&1
fi
(cd "$try" && exec wine Pinlorn.exe >/dev/null 2>&1) &
program=$!
wine "$waitwindow" Pinlorn 30 >/dev/null || fail "Pinlorn.exe from the zip showed no window"
# It polls the zip's virtual port: its reads of 0x378 reach the log.
deadline=$(( $(date +%s) + 30 ))
until (cd "$try" && wine portctl.exe log 3 2>/dev/null) | grep -q 'read   0x378'; do
  [ "$(date +%s)" -lt "$deadline" ] || fail "Pinlorn.exe from the zip does not poll the port"
  kill -0 "$program" 2>/dev/null || fail "Pinlorn.exe from the zip ended"
done
echo "package_test: ok ($(basename "$zip"), Pinlorn.exe $size bytes)"
