// Starts a program as a player's Windows does and prints what the player sees: "waited for Enter" or "did not
// wait", the window's width ("columns N"), its text (UTF-8), "exit status N". Modes: explorer (a
// double-click, or the FILEs dropped onto it: a console window of its own), explorer-nul-stdin (the same,
// standard input from NUL), cmd (the console is shared, as with a command prompt). Usage: skirmora-player
// MODE FOLDER PROGRAM [FILE...]; exit 1 if it hung.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

HANDLE Open(const wchar_t* name) {
    return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, 0, nullptr);
}

// The console's rows up to the cursor, trailing blanks removed; columns receives its width.
std::wstring ScreenText(SHORT* columns = nullptr) {
    const HANDLE out = Open(L"CONOUT$");
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (columns && GetConsoleScreenBufferInfo(out, &info)) *columns = info.dwSize.X;
    std::wstring text;
    for (SHORT row = 0; GetConsoleScreenBufferInfo(out, &info) && row <= info.dwCursorPosition.Y; ++row) {
        std::wstring line(static_cast<size_t>(info.dwSize.X), L' ');
        DWORD got = 0;
        ReadConsoleOutputCharacterW(out, line.data(), info.dwSize.X, COORD{0, row}, &got);
        line.resize(got);
        text += line.erase(line.find_last_not_of(L' ') + 1) + L"\n";
    }
    CloseHandle(out);
    return text;
}

void PressEnter() {
    INPUT_RECORD keys[2] = {};
    for (int k = 0; k < 2; ++k) {
        keys[k].EventType = KEY_EVENT;
        keys[k].Event.KeyEvent = {k == 0, 1, VK_RETURN, 0, {L'\r'}, 0};
    }
    const HANDLE in = Open(L"CONIN$");
    DWORD written = 0;
    WriteConsoleInputW(in, keys, 2, &written);
    CloseHandle(in);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 3 ? argv[1] : L"";
    if (mode != L"explorer" && mode != L"explorer-nul-stdin" && mode != L"cmd") return 2;
    std::wstring commandLine = L"\"" + std::wstring(argv[3]) + L"\"";
    for (int k = 4; k < argc; ++k)
        commandLine += L" \"" + std::wstring(argv[k]) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    const bool nulInput = mode == L"explorer-nul-stdin";
    if (nulInput) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        &inheritable, OPEN_EXISTING, 0, nullptr);
    }
    if (mode == L"cmd") AllocConsole();  // the program joins this console
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, nulInput,
                        mode == L"cmd" ? 0 : CREATE_NEW_CONSOLE, nullptr, argv[2], &startup, &process)) {
        std::printf("cannot start: error %lu\n", GetLastError());
        return 1;
    }
    // A console is the program's own only until this process joins it: attach once the program has looked
    // (it names its window then).
    bool attached = mode == L"cmd", waiting = false;
    for (int tries = 0; tries < 600 && !waiting; ++tries) {  // 30 s
        if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0) break;
        if (!attached && FindWindowW(nullptr, L"Skirmora check")) {
            FreeConsole();
            attached = AttachConsole(process.dwProcessId) != 0;
        }
        waiting = attached && ScreenText().find(L"Press Enter to close this window.") != std::wstring::npos;
    }
    waiting = waiting && WaitForSingleObject(process.hProcess, 300) == WAIT_TIMEOUT;  // and still open
    _setmode(_fileno(stdout), _O_U8TEXT);                                             // UTF-8 out
    SHORT columns = 0;
    const std::wstring screen = ScreenText(&columns);
    std::wprintf(L"%ls\ncolumns %d\n%ls", waiting ? L"waited for Enter" : L"did not wait", columns,
                 screen.c_str());
    if (waiting) PressEnter();
    DWORD status = 0;
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.hProcess, &status)) {
        std::wprintf(L"still running: hung\n");
        TerminateProcess(process.hProcess, 99);
        return 1;
    }
    std::wprintf(L"exit status %lu\n", status);
    return 0;
}
