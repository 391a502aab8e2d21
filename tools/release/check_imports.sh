#!/bin/sh
# check_imports.sh PROGRAM...: each PROGRAM (an .exe or .dll) loads on a bare
# Windows XP SP3 and later beside nothing but the port I/O library of its
# processor (port_library.sh). It imports only Windows system DLLs and that
# library, and from the library Inp32 and Out32 by name and nothing else; it
# imports no function that XP lacks, of those the compiler's runtime
# libraries and common code are known to reach for; and its header asks for
# no Windows newer than XP (subsystem 5.1). The first fault found is reported on one
# line and the exit code is 1.
# A 64-bit PROGRAM is held to the same, but its Windows is the first 64-bit
# one, XP x64 (5.2).
set -eu
fail() { echo "check_imports: $*" >&2; exit 1; }
here=$(cd "$(dirname "$0")" && pwd)

system_dlls="kernel32.dll user32.dll gdi32.dll advapi32.dll comctl32.dll msvcrt.dll ntdll.dll shell32.dll ole32.dll"
newer="GetTickCount64 InitializeSRWLock AcquireSRWLockExclusive AcquireSRWLockShared
ReleaseSRWLockExclusive ReleaseSRWLockShared TryAcquireSRWLockExclusive TryAcquireSRWLockShared
InitializeConditionVariable SleepConditionVariableCS SleepConditionVariableSRW
WakeConditionVariable WakeAllConditionVariable InitOnceExecuteOnce InitOnceBeginInitialize
InitOnceComplete InitializeCriticalSectionEx FlsAlloc FlsFree FlsGetValue FlsSetValue
CreateEventExA CreateEventExW CreateMutexExA CreateMutexExW CreateSemaphoreExW GetThreadId
GetCurrentProcessorNumber GetErrorMode SetThreadErrorMode CompareStringEx LCMapStringEx
GetLocaleInfoEx LocaleNameToLCID GetUserDefaultLocaleName CancelIoEx GetFinalPathNameByHandleA
GetFinalPathNameByHandleW GetFileInformationByHandleEx QueryFullProcessImageNameA
QueryFullProcessImageNameW RegGetValueA RegGetValueW RegDeleteTreeA ChangeWindowMessageFilter
SetProcessDPIAware"

[ $# -ge 1 ] || { echo "usage: check_imports.sh PROGRAM..." >&2; exit 2; }
for program in "$@"; do
  [ -f "$program" ] || fail "$program does not exist"
  processor=$(sh "$here/pe_processor.sh" "$program") || fail "$program is not a Windows program"
  dump=$("$processor-w64-mingw32-objdump" -p "$program") || fail "$program is not a Windows program"
  library=$(sh "$here/port_library.sh" "$processor")
  name=$(basename "$program")

  dlls=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  [ -n "$dlls" ] || fail "$name: no imports found"
  for dll in $dlls; do
    case " $system_dlls $library " in
      *" $dll "*) ;;
      *) fail "$name imports $dll, which is neither a Windows system DLL nor $library" ;;
    esac
  done

  # The name entries of one DLL's block: "<hint> <name>" lines up to the next blank line.
  if printf '%s\n' "$dlls" | grep -qxF "$library"; then
    port=$(printf '%s\n' "$dump" | awk -v dll="dll name: $library" 'index(tolower($0), dll) {on=1; next} on && /^$/ {exit} on' |
           awk 'NF == 3 && $2 ~ /^[0-9]+$/ {print $3}')
    for fn in Inp32 Out32; do
      printf '%s\n' "$port" | grep -qx "$fn" || fail "$name does not import $fn by name from $library (it imports: $port)"
    done
    # Anything more would keep the program from loading beside a library
    # that lacks it: the driver query is looked up at run time.
    more=$(printf '%s\n' "$port" | grep -vx -e Inp32 -e Out32 || true)
    [ -z "$more" ] || fail "$name imports more than Inp32 and Out32 from $library: $more"
  fi

  imported=$(printf '%s\n' "$dump" | awk '/DLL Name:/ {on=1; next} on && NF == 3 && $2 ~ /^[0-9]+$/ {print $3}')
  for fn in $newer; do
    printf '%s\n' "$imported" | grep -qx "$fn" && fail "$name imports $fn, which Windows XP lacks"
  done

  major=$(printf '%s\n' "$dump" | awk '$1 == "MajorSubsystemVersion" {print $2}')
  minor=$(printf '%s\n' "$dump" | awk '$1 == "MinorSubsystemVersion" {print $2}')
  [ -n "$major" ] && [ -n "$minor" ] || fail "$name: no subsystem version in its header"
  xp=1 xp_name="XP"
  [ "$processor" = x86_64 ] && xp=2 xp_name="64-bit XP"
  if [ "$major" -gt 5 ] || { [ "$major" -eq 5 ] && [ "$minor" -gt "$xp" ]; }; then
    fail "$name asks for Windows $major.$minor; $xp_name is 5.$xp"
  fi
done
echo "check_imports: ok ($*)"
