// A stand-in for ScriptHookV.dll: the five exports, each forwarded to the test host program that loaded it.
#include <windows.h>

#include <cstdint>

namespace {
template <typename F>
F HostFunction(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(nullptr), name)));
}
}  // namespace

extern "C" {
void StandInScriptRegister(HMODULE module, void (*entry)()) {
    HostFunction<void (*)(HMODULE, void (*)())>("HostScriptRegister")(module, entry);
}
void StandInScriptWait(DWORD milliseconds) {
    HostFunction<void (*)(DWORD)>("HostScriptWait")(milliseconds);
}
void StandInNativeInit(uint64_t hash) {
    HostFunction<void (*)(uint64_t)>("HostNativeInit")(hash);
}
void StandInNativePush64(uint64_t value) {
    HostFunction<void (*)(uint64_t)>("HostNativePush64")(value);
}
uint64_t* StandInNativeCall() {
    return HostFunction<uint64_t* (*)()>("HostNativeCall")();
}
}
