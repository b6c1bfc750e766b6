#include "app/Console.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// windows.h first
#include <shellapi.h>
#endif

#include <cstdio>
#include <iostream>
#include <streambuf>

#ifndef _WIN32
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#ifdef _WIN32
namespace {

std::string Utf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string result(size > 0 ? static_cast<size_t>(size) : 1u, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), size, nullptr, nullptr);
    result.resize(result.size() - 1);
    return result;
}

// The bytes written to a console window, shown as the UTF-8 characters they encode (the console's own code
// page knows nothing of UTF-8). A character split between two writes waits for its other bytes.
class ConsoleBuffer : public std::streambuf {
  public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) {}

  protected:
    int overflow(int c) override {
        if (c != traits_type::eof()) {
            pending_ += static_cast<char>(c);
            if (c == '\n') Show();
        }
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        pending_.append(s, static_cast<size_t>(n));
        Show();
        return n;
    }
    int sync() override {
        Show();
        return 0;
    }

  private:
    void Show() {
        size_t complete = pending_.size();
        for (size_t back = 1; back <= 3 && back <= pending_.size(); ++back) {
            const auto byte = static_cast<unsigned char>(pending_[pending_.size() - back]);
            if ((byte & 0xC0) != 0x80) {  // the last sequence's first byte: is the sequence whole?
                const size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
                if (length > back) complete = pending_.size() - back;
                break;
            }
        }
        if (complete == 0) return;
        const int size =
            MultiByteToWideChar(CP_UTF8, 0, pending_.data(), static_cast<int>(complete), nullptr, 0);
        std::wstring wide(static_cast<size_t>(size), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, pending_.data(), static_cast<int>(complete), wide.data(), size);
        DWORD written = 0;
        WriteConsoleW(console_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        pending_.erase(0, complete);
    }

    HANDLE console_;
    std::string pending_;
};

// The reports are written for 120 columns; a classic console window has 80.
void WidenWindow(HANDLE console) {
    constexpr SHORT Columns = 120;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(console, &info) || info.dwSize.X >= Columns) return;
    if (GetLargestConsoleWindowSize(console).X < Columns) return;  // the screen is too small: keep wrapping
    SetConsoleScreenBufferSize(console, COORD{Columns, info.dwSize.Y});
    SMALL_RECT window = info.srWindow;
    window.Left = 0;
    window.Right = Columns - 1;
    SetConsoleWindowInfo(console, TRUE, &window);
}

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode) != 0;
}

// A console shows UTF-8 through the wide API; files and pipes get the bytes unchanged, "\n" not made "\r\n",
// so that the output is the same as on Linux.
void SetUpOutput(std::ostream& stream, std::FILE* file, DWORD handleId) {
    const HANDLE handle = GetStdHandle(handleId);
    if (IsConsole(handle)) {
        static_cast<void>(stream.rdbuf(new ConsoleBuffer(handle)));  // lives as long as the process
    } else {
        _setmode(_fileno(file), _O_BINARY);
    }
}

}  // namespace

ConsoleSession::ConsoleSession(int, char**) {
    // Explorer opens a console window for this program alone; cmd and PowerShell share theirs.
    DWORD processes[2];
    ownWindow_ = GetConsoleWindow() != nullptr && GetConsoleProcessList(processes, 2) == 1 &&
                 IsConsole(GetStdHandle(STD_INPUT_HANDLE));
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (ownWindow_) {
        WidenWindow(out);
        SetConsoleTitleW(L"Skirmora check");
    }
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (IsConsole(out) && GetConsoleScreenBufferInfo(out, &info) && info.dwSize.X > 0)
        width_ = static_cast<std::size_t>(info.dwSize.X);
    SetUpOutput(std::cout, stdout, STD_OUTPUT_HANDLE);
    SetUpOutput(std::cerr, stderr, STD_ERROR_HANDLE);

    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int k = 0; k < count; ++k)
        arguments_.push_back(Utf8(wide[k]));
    LocalFree(wide);
    if (arguments_.empty()) arguments_.push_back("skirmora-sim");
}

std::size_t ErrorColumns() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) return 0;
    const int columns = info.srWindow.Right - info.srWindow.Left + 1;
    return columns > 0 ? static_cast<std::size_t>(columns) : 0;
}

int ConsoleSession::Finish(int status) const {
    std::cout.flush();
    std::cerr.flush();
    if (ownWindow_) {
        std::cout << "\nPress Enter to close this window." << std::flush;
        std::string line;
        std::getline(std::cin, line);
    }
    return status;
}

#else

ConsoleSession::ConsoleSession(int argc, char** argv) : arguments_(argv, argv + argc) {}

std::size_t ErrorColumns() {
    winsize size{};
    return ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
}

int ConsoleSession::Finish(int status) const {
    return status;
}

#endif
