#include "app/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <random>

#include <fmt/core.h>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "app/CommandError.h"
#include "app/Utf8Path.h"

namespace fs = std::filesystem;

namespace {

using NativeChar = fs::path::value_type;

// The names a signal's ending removes: each slot a copy of the name, its first unit 'f' (a file) or 'd' (a
// folder), taken and given back with atomic exchanges so that a handler sees each name whole or not at all.
constexpr int TemporarySlots = 256;
std::atomic<NativeChar*> Temporaries[TemporarySlots];

// A name nobody can guess: the system's randomness, mixed with the clock and a count.
std::string RandomPart() {
    static std::random_device device;
    static uint64_t count = 0;
    const auto now = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    const uint64_t high = (uint64_t{device()} << 32) ^ device() ^ (now * 0x9E3779B97F4A7C15ull);
    const uint64_t low = (uint64_t{device()} << 32) ^ device() ^ ++count;
    return fmt::format("{:016x}{:016x}", high, low);
}

// The output's name, shortened (at a character's start) so that the temporary's name stays within the
// 255 bytes a folder entry allows.
std::string ShortName(const fs::path& target) {
    std::string name = target.filename().u8string();
    size_t cut = std::min<size_t>(name.size(), 120);
    while (cut < name.size() && cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;
    return name.substr(0, cut);
}

// Creates a file of a name of its own beside target, exclusively: never through a link, never one that is
// there. mode: what its permissions become (-1: the umask's, as for a new file). A file open for writing, or
// null with errno set.
std::FILE* CreateBeside(const fs::path& target, int mode, fs::path& made) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        made = target.parent_path() / fs::u8path("." + ShortName(target) + "." + RandomPart() + ".tmp");
#ifdef _WIN32
        static_cast<void>(mode);  // a new file's, as Windows gives it
        const int fd = _wopen(made.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                              _S_IREAD | _S_IWRITE);
        if (fd >= 0) return _fdopen(fd, "wb");
#else
        const int fd =
            open(made.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode < 0 ? 0666 : 0600);
        if (fd >= 0) {
            if (mode >= 0) static_cast<void>(fchmod(fd, static_cast<mode_t>(mode)));
            return fdopen(fd, "wb");
        }
#endif
        if (errno != EEXIST) break;
    }
    made.clear();
    return nullptr;
}

// The permissions the replaced file had, or -1 for a new one.
int ModeOf(const fs::path& target) {
#ifdef _WIN32
    static_cast<void>(target);
    return -1;
#else
    struct stat status;
    return stat(target.c_str(), &status) == 0 ? static_cast<int>(status.st_mode & 07777) : -1;
#endif
}

}  // namespace

void TemporaryName::Set(const fs::path& path, bool folder) {
    Clear();
    const fs::path::string_type& name = path.native();
    auto* copy = new NativeChar[name.size() + 2];
    copy[0] = folder ? 'd' : 'f';
    std::copy(name.begin(), name.end(), copy + 1);
    copy[name.size() + 1] = 0;
    for (int k = 0; k < TemporarySlots; ++k) {
        NativeChar* empty = nullptr;
        if (Temporaries[k].compare_exchange_strong(empty, copy)) {
            slot_ = k;
            return;
        }
    }
    delete[] copy;  // all taken: the name is removed as ever, but not at a signal
}

void TemporaryName::Clear() {
    if (slot_ >= 0) delete[] Temporaries[slot_].exchange(nullptr);
    slot_ = -1;
}

void RemoveTemporaries() {
    for (const NativeChar kind : {'f', 'd'})  // files first, then the folders they were in
        for (auto& slot : Temporaries) {
            const NativeChar* name = slot.load();
            if (!name || name[0] != kind) continue;
#ifdef _WIN32
            static_cast<void>(kind == 'd' ? _wrmdir(name + 1) : _wunlink(name + 1));
#else
            static_cast<void>(kind == 'd' ? rmdir(name + 1) : unlink(name + 1));
#endif
        }
}

fs::path LinkedFile(const fs::path& path) {
    fs::path file = path;
    std::error_code error;
    for (int links = 0; links < 40 && fs::is_symlink(fs::symlink_status(file, error)); ++links) {
        const fs::file_status linked = fs::status(file, error);
        if (fs::exists(linked) && !fs::is_regular_file(linked)) break;  // a device, a pipe: used by its name
        const fs::path to = fs::read_symlink(file, error);
        if (error) break;
        file = to.is_absolute() ? to : file.parent_path() / to;
    }
    return file;
}

std::string StandardOutputFile() {
#ifdef _WIN32
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == INVALID_HANDLE_VALUE || !out || GetFileType(out) != FILE_TYPE_DISK) return "";
    std::wstring name(32768, L'\0');
    const DWORD size = GetFinalPathNameByHandleW(out, name.data(), 32768, FILE_NAME_NORMALIZED);
    if (size == 0 || size >= 32768) return "";
    name.resize(size);
    return fs::path(name).u8string();
#else
    struct stat status;
    return fstat(1, &status) == 0 && S_ISREG(status.st_mode) ? "/dev/stdout" : "";
#endif
}

std::string FolderProblem(const fs::path& folder) {
    fs::path probe;
    std::FILE* file = CreateBeside(folder / "probe", -1, probe);
    if (!file) return SystemError(errno ? errno : EIO);
    std::fclose(file);
    std::error_code ignored;
    fs::remove(probe, ignored);
    return "";
}

bool FileSink::Open(const fs::path& path) {
    errno = 0;
#ifdef _WIN32
    file_ = _wfopen(path.c_str(), L"wb");  // the wide name: any characters
#else
    file_ = std::fopen(path.c_str(), "wb");
#endif
    if (!file_) Failed();
    return file_ != nullptr;
}

int FileSink::Close() {
    errno = 0;
    if (file_ && std::fclose(file_) != 0) Failed();
    file_ = nullptr;
    return error_;
}

std::streamsize FileSink::xsputn(const char* text, std::streamsize count) {
    if (!file_ || error_) return 0;
    errno = 0;
    const auto size = static_cast<std::size_t>(count);
    if (std::fwrite(text, 1, size, file_) != size) Failed();
    return error_ ? 0 : count;
}

int FileSink::overflow(int c) {
    if (c == traits_type::eof()) return traits_type::not_eof(c);
    const char byte = static_cast<char>(c);
    return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
}

int FileSink::sync() {
    errno = 0;
    if (file_ && std::fflush(file_) != 0) Failed();
    return error_ ? -1 : 0;
}

OutputFile::OutputFile(const std::string& path, const std::string& what)
    : path_(path), what_(what), target_(LinkedFile(PathFromUtf8(path))) {
    std::error_code error;
    const fs::file_status status = fs::status(target_, error);
    if (!fs::exists(status) && fs::is_symlink(fs::symlink_status(target_, error)))
        Fail("cannot write", SystemError(ELOOP));
    if (fs::is_directory(status)) Fail("cannot write", SystemError(EISDIR));
    // A file, or none yet, is replaced whole at the end; a device or a pipe cannot be.
    if (fs::is_regular_file(status) || status.type() == fs::file_type::not_found) {
        errno = 0;
        std::FILE* file = CreateBeside(target_, ModeOf(target_), temporary_);
        if (!file) Fail("cannot write", SystemError(errno ? errno : EIO));
        removed_.Set(temporary_);
        sink_.Adopt(file);
    } else if (!sink_.Open(target_)) {
        Fail("cannot write", SystemError(sink_.Error()));
    }
}

OutputFile::~OutputFile() {
    sink_.Close();
    std::error_code ignored;
    if (!done_ && !temporary_.empty()) fs::remove(temporary_, ignored);
}

std::string OutputFile::WorkingPath() const {
    return (temporary_.empty() ? target_ : temporary_).u8string();
}

void OutputFile::Close() {
    stream_.flush();
    if (const int error = sink_.Close()) Fail("writing", SystemError(error));
}

void OutputFile::Commit() {
    Close();
    std::error_code error;
    if (!temporary_.empty()) fs::rename(temporary_, target_, error);
    if (error) Fail("cannot write", error.message());
    done_ = true;
}

void OutputFile::Abandon(int error) {
    sink_.Close();
    Fail("writing", SystemError(error));
}

void OutputFile::Fail(const std::string& doing, const std::string& reason) {
    sink_.Close();
    std::error_code ignored;
    if (!temporary_.empty()) fs::remove(temporary_, ignored);
    done_ = true;
    throw CommandError(3, doing == "writing" ? fmt::format("writing {}{} failed: {}", what_, path_, reason)
                                             : fmt::format("{} {}{}: {}", doing, what_, path_, reason));
}
