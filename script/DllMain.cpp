#include <windows.h>

#include "host/Seam.h"
#include "script/ScriptMain.h"

// Registers the script when the process attaches the library; nothing else, for any reason.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) scriptRegister(instance, &ScriptMain);
    return TRUE;
}
