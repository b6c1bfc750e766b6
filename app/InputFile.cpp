#include "app/InputFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <fmt/format.h>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "app/CommandError.h"
#include "app/Utf8Path.h"

namespace {

std::string Open(const std::string& path, std::ifstream& file) {
    std::error_code ignored;
    if (std::filesystem::is_directory(PathFromUtf8(path), ignored)) return SystemError(EISDIR);
    errno = 0;
    file.open(PathFromUtf8(path), std::ios::binary);
    return file ? "" : SystemError(errno ? errno : ENOENT);
}

// Appends what source holds up to limit bytes and one more, so that a longer input shows.
void ReadUpTo(std::istream& source, std::string& bytes, std::size_t limit) {
    char buffer[65536];
    while (bytes.size() <= limit && source) {
        source.read(buffer, sizeof buffer);
        bytes.append(buffer, static_cast<std::size_t>(source.gcount()));
    }
}

}  // namespace

std::string ReadInput(const std::string& path, std::string& bytes, std::istream* in) {
    std::ifstream file;
    std::istream* source = in;
    if (!in || path != "-") {
        const std::string error = Open(path, file);
        if (!error.empty()) return error;
        source = &file;
    }
#ifdef _WIN32
    if (source == &std::cin) _setmode(_fileno(stdin), _O_BINARY);  // the bytes as they are, "\r\n" included
#endif
    ReadUpTo(*source, bytes, InputLimit);
    if (source == &std::cin && std::ferror(stdin)) return SystemError(errno ? errno : EIO);  // closed: <&-
    if (source->bad()) return SystemError(errno ? errno : EIO);
    if (bytes.size() > InputLimit)
        return fmt::format(
            "it holds more than {} MiB, far more than any config file or scenario: not read "
            "further",
            InputLimit >> 20);
    return "";
}

std::string ReadTail(const std::string& path, std::string& bytes, std::size_t limit) {
    std::error_code error;
    const auto status = std::filesystem::status(PathFromUtf8(path), error);
    if (!error && status.type() != std::filesystem::file_type::regular && !is_directory(status))
        return "it is not a regular file";  // a pipe or a device would never end
    std::ifstream file;
    const std::string opened = Open(path, file);
    if (!opened.empty()) return opened;
    file.seekg(0, std::ios::end);
    const auto size = static_cast<std::size_t>(std::max<std::streamoff>(0, file.tellg()));
    const std::size_t start = size > limit ? size - limit : 0;
    file.seekg(static_cast<std::streamoff>(start));
    ReadUpTo(file, bytes, limit);
    if (file.bad()) return SystemError(errno ? errno : EIO);
    bytes.resize(std::min(bytes.size(), limit));  // the file may have grown meanwhile
    if (start > 0) bytes.erase(0, std::min(bytes.size(), bytes.find('\n') + 1));  // a partial first line
    return "";
}
