#include "app/OutputFile.h"

#include <cerrno>

#include <fmt/core.h>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include "app/CommandError.h"
#include "app/Utf8Path.h"

namespace fs = std::filesystem;

namespace {

int ProcessId() {
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(getpid());
#endif
}

// A name of its own beside the target, hidden where a leading dot hides it.
fs::path TemporaryBeside(const fs::path& target) {
    static int made = 0;
    return target.parent_path() /
           fs::u8path(fmt::format(".{}.{}-{}.tmp", target.filename().u8string(), ProcessId(), ++made));
}

}  // namespace

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
    : path_(path), what_(what), target_(PathFromUtf8(path)) {
    std::error_code error;
    const fs::file_status status = fs::status(target_, error);
    const fs::path linked =
        fs::is_symlink(fs::symlink_status(target_, error)) ? fs::canonical(target_, error) : "";
    if (!linked.empty()) target_ = linked;  // the file a link names is replaced, and the link kept
    if (fs::is_directory(status)) Fail("cannot write", SystemError(EISDIR));
    // A file, or none yet, is replaced whole at the end; a device or a pipe cannot be.
    if (fs::is_regular_file(status) || status.type() == fs::file_type::not_found)
        temporary_ = TemporaryBeside(target_);
    if (!sink_.Open(temporary_.empty() ? target_ : temporary_)) {
        temporary_.clear();
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
    sink_.Close();
}

void OutputFile::Commit() {
    stream_.flush();
    if (const int error = sink_.Close()) Fail("writing", SystemError(error));
    std::error_code error;
    if (!temporary_.empty()) fs::rename(temporary_, target_, error);
    if (error) Fail("cannot write", error.message());
    done_ = true;
}

void OutputFile::Fail(const std::string& doing, const std::string& reason) {
    std::error_code ignored;
    if (!temporary_.empty()) fs::remove(temporary_, ignored);
    done_ = true;
    throw CommandError(3, doing == "writing" ? fmt::format("writing {}{} failed: {}", what_, path_, reason)
                                             : fmt::format("{} {}{}: {}", doing, what_, path_, reason));
}
