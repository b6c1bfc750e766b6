#!/usr/bin/env bash
# The shipped DLL: 64-bit, an entry point, only Windows system DLLs and the hook imported, and of the hook
# exactly its five exports. The stand-in hook exports exactly those five names.
set -euo pipefail
dll=$1 standin=$2
objdump=x86_64-w64-mingw32-objdump
fail() { echo "check-dll: $*" >&2; exit 1; }
dump=$($objdump -p "$dll")
grep -q "file format pei-x86-64" <<<"$dump" || fail "$dll is not a 64-bit PE image"
characteristics=$(awk '/^Characteristics/{print $2; exit}' <<<"$dump")
(( characteristics & 0x2000 )) || fail "$dll is not a DLL (characteristics $characteristics)"
entry=$(awk '/AddressOfEntryPoint/{print $2}' <<<"$dump")
[[ -n $entry && $((16#$entry)) -ne 0 ]] || fail "$dll has no entry point"
dlls=$(awk '/DLL Name:/{print tolower($3)}' <<<"$dump" | sort -u)
extra=$(grep -v -E '^(scripthookv|kernel32|user32|msvcrt|ucrtbase|advapi32|ntdll|api-ms-win-.*)\.dll$' <<<"$dlls" || true)
[[ -z $extra ]] || fail "$dll imports DLLs players do not have: $extra"
expected='?nativeCall@@YAPEA_KXZ
?nativeInit@@YAX_K@Z
?nativePush64@@YAX_K@Z
?scriptRegister@@YAXPEAUHINSTANCE__@@P6AXXZ@Z
?scriptWait@@YAXK@Z'
hook=$(awk '/DLL Name: ScriptHookV.dll/{on=1; next} on && (/DLL Name:/ || !NF){on=0} on && NF==3 && $2 ~ /^[0-9]+$/ {print $3}' <<<"$dump" | sort)
[[ $hook == "$expected" ]] || fail "$dll imports from ScriptHookV.dll: $hook"
# Of KERNEL32, only what the script and its C++ runtime use, as README.md lists it: no thread control (no
# thread made, suspended or read, no other process opened), which antivirus heuristics flag in a game's DLL.
allowed='CloseHandle CreateDirectoryW CreateFileW FormatMessageW GetEnvironmentVariableW GetFullPathNameW
GetLastError GetLocalTime GetTickCount LocalFree MultiByteToWideChar QueryPerformanceCounter
QueryPerformanceFrequency WideCharToMultiByte WriteFile
RaiseException RtlCaptureContext RtlLookupFunctionEntry RtlUnwindEx RtlVirtualUnwind
CreateSemaphoreW DeleteCriticalSection EnterCriticalSection GetCurrentThreadId InitializeCriticalSection
LeaveCriticalSection ReleaseSemaphore SetLastError Sleep TlsAlloc TlsFree TlsGetValue TlsSetValue
WaitForSingleObject
VirtualProtect VirtualQuery GetModuleHandleW GetProcAddress LoadLibraryW FormatMessageA IsDBCSLeadByteEx'
kernel=$(awk '/DLL Name:/{on = ($3 == "KERNEL32.dll")} on && NF==3 && $2 ~ /^[0-9]+$/ {print $3}' <<<"$dump" | sort -u)
extra=$(comm -23 <(echo "$kernel") <(tr ' ' '\n' <<<"$allowed" | sort -u))
[[ -z $extra ]] || fail "$dll imports from KERNEL32 what README.md does not list: $(echo $extra)"
! grep -qiE '_beginthread|CreateThread|SuspendThread|ResumeThread|GetThreadContext|SetThreadContext|OpenProcess|OpenThread' <<<"$dump" ||
    fail "$dll imports thread control"
grep -q "GetTickCount$" <<<"$dump" || fail "$dll does not import GetTickCount"
grep -q "GetAsyncKeyState$" <<<"$dump" || fail "$dll does not import GetAsyncKeyState"
exports=$($objdump -p "$standin" | awk '/\[Ordinal\/Name Pointer\] Table/{on=1; next} on && /\[/{print $NF} on && !NF{on=0}' | sort)
[[ $exports == "$expected" ]] || fail "the stand-in hook exports: $exports"
echo "check-dll: $dll and $standin are as shipped"
