#!/bin/sh
# check_xp_imports.sh PROGRAM: PROGRAM imports no function that Windows XP
# SP3 lacks. The list holds the newer functions that the compiler's runtime
# libraries and common code are known to reach for.
set -eu
program=$1
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

imported=$(i686-w64-mingw32-objdump -p "$program" | awk '/DLL Name:/ {on=1; next} on && NF == 3 && $2 ~ /^[0-9]+$/ {print $3}')
[ -n "$imported" ] || { echo "check_xp_imports: no imports found in $program" >&2; exit 1; }
found=
for fn in $newer; do
  printf '%s\n' "$imported" | grep -qx "$fn" && found="$found $fn"
done
[ -z "$found" ] || { echo "check_xp_imports: $program imports what XP lacks:$found" >&2; exit 1; }
echo "check_xp_imports: ok"
