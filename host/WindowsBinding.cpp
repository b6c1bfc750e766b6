// The platform seam on Windows: the hook's five exports, kernel32's tick and user32's key query; the log,
// Skirmora.log beside the config, else in %LOCALAPPDATA%\Skirmora; the local time; the performance counter.
// Names are UTF-8 outside, UTF-16 to the system.
#include <windows.h>

#include <string>

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

namespace {

HANDLE LogFile = INVALID_HANDLE_VALUE;

std::wstring Wide(const std::string& text) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

std::string Utf8(const std::wstring& wide) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size, nullptr,
                        nullptr);
    return text;
}

std::wstring FullPathW(const std::wstring& name) {
    const DWORD size = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (size == 0) return name;
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(name.c_str(), size, full.data(), nullptr);
    full.resize(length < size ? length : 0);
    return full.empty() ? name : full;
}

// The system's words for an error, without the line end.
std::string ErrorText(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length && text ? std::wstring(text, length) : L"error " + std::to_wstring(code);
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return Utf8(message);
}

// Shared for reading: the player can open the log while the game runs.
HANDLE Create(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::wstring LocalAppData() {
    wchar_t folder[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(folder, length) : std::wstring();
}

}  // namespace

bool OpenLog(const std::string& configFileName, std::string& path, std::string& note) {
    try {
        if (LogFile != INVALID_HANDLE_VALUE) CloseHandle(LogFile);
        const std::wstring config = FullPathW(Wide(configFileName));
        const std::wstring beside = config.substr(0, config.find_last_of(L"\\/") + 1) + L"Skirmora.log";
        LogFile = Create(beside);
        if (LogFile != INVALID_HANDLE_VALUE) {
            path = Utf8(beside);
            return true;
        }
        note = Utf8(beside) + ": " + ErrorText(GetLastError());
        const std::wstring local = LocalAppData();
        if (local.empty()) return false;
        const std::wstring folder = local + L"\\Skirmora";
        CreateDirectoryW(folder.c_str(), nullptr);  // fails, harmlessly, when it is there
        LogFile = Create(folder + L"\\Skirmora.log");
        path = Utf8(folder + L"\\Skirmora.log");
        return LogFile != INVALID_HANDLE_VALUE;
    } catch (...) {
        return false;
    }
}

bool WriteLog(const std::string& bytes) {
    DWORD written = 0;
    return LogFile != INVALID_HANDLE_VALUE &&
           WriteFile(LogFile, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

std::string FullPath(const std::string& name) {
    try {
        return Utf8(FullPathW(Wide(name)));
    } catch (...) {
        return name;
    }
}

uint32_t LocalTimeOfDayMs() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return ((now.wHour * 60u + now.wMinute) * 60u + now.wSecond) * 1000u + now.wMilliseconds;
}

uint32_t LocalDate() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now.wYear * 10000u + now.wMonth * 100u + now.wDay;
}

uint64_t PerformanceCounter() {
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return static_cast<uint64_t>(count.QuadPart);
}

uint64_t PerformanceFrequency() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart > 0 ? static_cast<uint64_t>(frequency.QuadPart) : 1;
}
