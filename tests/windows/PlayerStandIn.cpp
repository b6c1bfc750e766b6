// Does to skirmora-sim.exe what a player's Windows does, and reports what the player would see.
//   explorer FOLDER PROGRAM [FILE]  a double-click (or FILE dropped onto it): a console window of its own
//   explorer-nul-stdin ...          the same with standard input from NUL
//   cmd FOLDER PROGRAM [FILE]       typed in cmd: the console is shared with the command prompt
//   properties FILE                 the version resource, as Explorer's Properties show it
// Prints "waited for Enter" or "did not wait", the window's text (UTF-8) and the exit status. Exit status 0
// when the program ended in time, 1 when it hung or could not be started.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr,
                        nullptr);
    return result;
}

// The console's text, one line per row, trailing blanks removed.
std::string ScreenText() {
    const HANDLE out = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    CONSOLE_SCREEN_BUFFER_INFO info;
    std::string text;
    if (out == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(out, &info)) return text;
    for (SHORT row = 0; row <= info.dwCursorPosition.Y; ++row) {
        std::wstring line(static_cast<size_t>(info.dwSize.X), L' ');
        DWORD got = 0;
        ReadConsoleOutputCharacterW(out, line.data(), info.dwSize.X, COORD{0, row}, &got);
        line.resize(got);
        line.erase(line.find_last_not_of(L' ') + 1);
        text += Utf8(line) + "\n";
    }
    CloseHandle(out);
    return text;
}

void PressEnter() {
    const HANDLE in = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
    INPUT_RECORD keys[2] = {};
    for (int k = 0; k < 2; ++k) {
        keys[k].EventType = KEY_EVENT;
        keys[k].Event.KeyEvent.bKeyDown = k == 0;
        keys[k].Event.KeyEvent.wRepeatCount = 1;
        keys[k].Event.KeyEvent.wVirtualKeyCode = VK_RETURN;
        keys[k].Event.KeyEvent.uChar.UnicodeChar = L'\r';
    }
    DWORD written = 0;
    WriteConsoleInputW(in, keys, 2, &written);
    CloseHandle(in);
}

int Properties(const wchar_t* file) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file, &ignored);
    std::string data(size, '\0');
    if (size == 0 || !GetFileVersionInfoW(file, 0, size, data.data())) {
        std::printf("no version resource\n");
        return 1;
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length))
        std::printf("FileVersion (numbers) %d.%d.%d.%d\n", HIWORD(fixed->dwFileVersionMS),
                    LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                    LOWORD(fixed->dwFileVersionLS));
    for (const wchar_t* name : {L"ProductName", L"FileDescription", L"FileVersion", L"ProductVersion",
                                L"LegalCopyright", L"OriginalFilename"}) {
        wchar_t* value = nullptr;
        const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        if (VerQueryValueW(data.data(), key.c_str(), reinterpret_cast<void**>(&value), &length))
            std::printf("%s: %s\n", Utf8(name).c_str(), Utf8(value).c_str());
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"properties" && argc == 3) return Properties(argv[2]);
    if ((mode != L"explorer" && mode != L"explorer-nul-stdin" && mode != L"cmd") || argc < 4 || argc > 5) {
        std::fprintf(stderr,
                     "usage: skirmora-player explorer|explorer-nul-stdin|cmd FOLDER PROGRAM [FILE]\n"
                     "       skirmora-player properties FILE\n");
        return 2;
    }
    std::wstring commandLine = L"\"" + std::wstring(argv[3]) + L"\"";
    if (argc == 5) commandLine += L" \"" + std::wstring(argv[4]) + L"\"";

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    if (mode == L"explorer-nul-stdin") {
        startup.dwFlags |= STARTF_USESTDHANDLES;
        startup.hStdInput = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        &inheritable, OPEN_EXISTING, 0, nullptr);
    }
    DWORD flags = CREATE_NEW_CONSOLE;
    if (mode == L"cmd") {  // the stand-in for cmd holds a console, and the program joins it
        FreeConsole();
        AllocConsole();
        flags = 0;
    }
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, mode == L"explorer-nul-stdin", flags,
                        nullptr, argv[2], &startup, &process)) {
        std::printf("cannot start: error %lu\n", GetLastError());
        return 1;
    }
    // Read the program's own window once it has looked at it (and named it): its console is its own only
    // until this process joins it.
    bool attached = mode == L"cmd";
    const std::string prompt = "Press Enter to close this window.";
    bool waiting = false;
    for (int tries = 0; tries < 600 && !waiting; ++tries) {  // 30 s
        if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0) break;
        if (!attached && FindWindowW(nullptr, L"Skirmora config check")) {
            FreeConsole();
            attached = AttachConsole(process.dwProcessId) != 0;
        }
        waiting = attached && ScreenText().find(prompt) != std::string::npos;
    }
    if (waiting) waiting = WaitForSingleObject(process.hProcess, 300) == WAIT_TIMEOUT;  // still open
    std::printf("%s\n%s", waiting ? "waited for Enter" : "did not wait", ScreenText().c_str());
    if (waiting) PressEnter();
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        std::printf("still running: hung\n");
        TerminateProcess(process.hProcess, 99);
        return 1;
    }
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    std::printf("exit status %lu\n", status);
    return 0;
}
