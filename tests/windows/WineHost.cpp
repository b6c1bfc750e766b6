// Loads the shipped Skirmora.asi as the game would, with the stand-in hook beside it, and plays one scenario
// against the simulated world: the script runs on a fibre, and the clock and keyboard reach it through its
// own import table, patched to point here. Usage: skirmora-wine-host SCENARIO TRACE-FILE [LOCALAPPDATA]: the
// folder that the script's log falls back to, in place of the user's.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>

#include "sim/Game.h"
#include "tests/windows/Scenarios.h"

namespace {
Game* TheGame = nullptr;
void* HostFiber = nullptr;
void* ScriptFiber = nullptr;
void (*Entry)() = nullptr;

DWORD WINAPI HostTickCount() {
    return TheGame->TickQuery();
}
SHORT WINAPI HostKeyState(int key) {
    return TheGame->KeyQuery(key);
}

void WINAPI RunEntry(void*) {
    Entry();
    for (;;)
        SwitchToFiber(HostFiber);  // the entry never returns; if it did, the game would stay here
}

// Points the module's import of dll!function at the replacement.
bool PatchImport(HMODULE module, const char* dll, const char* function, void* replacement) {
    auto* base = reinterpret_cast<unsigned char*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); desc->Name;
         ++desc) {
        if (_stricmp(reinterpret_cast<const char*>(base + desc->Name), dll) != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
            DWORD old;
            VirtualProtect(&slots->u1.Function, sizeof(void*), PAGE_READWRITE, &old);
            slots->u1.Function = reinterpret_cast<ULONGLONG>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof(void*), old, &old);
            return true;
        }
    }
    return false;
}
}  // namespace

extern "C" {
__declspec(dllexport) void HostScriptRegister(HMODULE, void (*entry)()) {
    Entry = entry;
}
__declspec(dllexport) void HostScriptWait(DWORD milliseconds) {
    TheGame->Wait(milliseconds);
    SwitchToFiber(HostFiber);
}
__declspec(dllexport) void HostNativeInit(uint64_t hash) {
    TheGame->NativeInit(hash);
}
__declspec(dllexport) void HostNativePush64(uint64_t value) {
    TheGame->NativePush(value);
}
__declspec(dllexport) uint64_t* HostNativeCall() {
    return TheGame->NativeCall();
}
}

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: skirmora-wine-host SCENARIO TRACE-FILE [LOCALAPPDATA]\n");
        return 2;
    }
    if (argc == 4) SetEnvironmentVariableA("LOCALAPPDATA", argv[3]);
    const Scenario* scenario = FindScenario(argv[1]);
    if (!scenario) {
        std::fprintf(stderr, "skirmora-wine-host: no scenario named %s\n", argv[1]);
        return 2;
    }
    auto game = std::make_unique<Game>(scenario->startTick);
    TheGame = game.get();
    game->frameMs = scenario->frameMs;
    scenario->setup(*game);

    HostFiber = ConvertThreadToFiber(nullptr);
    HMODULE script = LoadLibraryA("Skirmora.asi");
    if (!script || !Entry) {
        std::fprintf(stderr, "skirmora-wine-host: Skirmora.asi did not load or register (error %lu)\n",
                     GetLastError());
        return 1;
    }
    if (!PatchImport(script, "kernel32.dll", "GetTickCount", reinterpret_cast<void*>(&HostTickCount)) ||
        !PatchImport(script, "user32.dll", "GetAsyncKeyState", reinterpret_cast<void*>(&HostKeyState))) {
        std::fprintf(stderr,
                     "skirmora-wine-host: Skirmora.asi does not import GetTickCount and GetAsyncKeyState\n");
        return 1;
    }
    ScriptFiber = CreateFiber(8u << 20, &RunEntry, nullptr);  // as much stack as a Linux thread
    for (int64_t n = 0; n < scenario->frames; ++n) {
        game->BeginFrame();
        if (n == 0 || game->ScriptDue()) SwitchToFiber(ScriptFiber);
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    for (const std::string& line : game->trace.lines)
        out << line << '\n';
    for (const std::string& error : game->errors)
        std::fprintf(stderr, "fault: %s\n", error.c_str());
    out.close();
    // The script's fibre holds a loop that never ends: leave it to the process's end.
    std::fflush(nullptr);
    ExitProcess(game->errors.empty() ? 0 : 1);
}
