// The seam on Windows: the hook's five exports, kernel32's tick and user32's key query.
#include <windows.h>

#include "host/Seam.h"

#if defined(_MSC_VER)
// MSVC mangles these declarations to the hook's export names itself; nativeInit, nativePush64 and nativeCall
// of the seam already have the hook's exact signatures and are imported as they are.
void scriptRegister(HMODULE module, void (*entry)());
void scriptWait(DWORD milliseconds);

void scriptRegister(void* module, void (*entry)()) {
    scriptRegister(static_cast<HMODULE>(module), entry);
}
void scriptWait(uint32_t milliseconds) {
    scriptWait(static_cast<DWORD>(milliseconds));
}
#else
// GCC mangles differently: each export is named by its MSVC-mangled name, resolved by the import library
// made from host/ScriptHookV.def.
void HookScriptRegister(HMODULE module,
                        void (*entry)()) __asm__("\"?scriptRegister@@YAXPEAUHINSTANCE__@@P6AXXZ@Z\"");
void HookScriptWait(DWORD milliseconds) __asm__("\"?scriptWait@@YAXK@Z\"");
void HookNativeInit(unsigned long long hash) __asm__("\"?nativeInit@@YAX_K@Z\"");
void HookNativePush64(unsigned long long value) __asm__("\"?nativePush64@@YAX_K@Z\"");
unsigned long long* HookNativeCall() __asm__("\"?nativeCall@@YAPEA_KXZ\"");

void scriptRegister(void* module, void (*entry)()) {
    HookScriptRegister(static_cast<HMODULE>(module), entry);
}
void scriptWait(uint32_t milliseconds) {
    HookScriptWait(milliseconds);
}
void nativeInit(uint64_t hash) {
    HookNativeInit(hash);
}
void nativePush64(uint64_t value) {
    HookNativePush64(value);
}
uint64_t* nativeCall() {
    return reinterpret_cast<uint64_t*>(HookNativeCall());
}
#endif

uint32_t TickCount() {
    return GetTickCount();
}
int16_t AsyncKeyState(int32_t virtualKey) {
    return GetAsyncKeyState(virtualKey);
}
