#include "app/InputFile.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <fmt/format.h>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "app/Utf8Path.h"

std::string ReadInput(const std::string& path, std::string& bytes, std::istream* in) {
    const auto error = [](int code) { return std::generic_category().message(code); };
    std::ifstream file;
    std::istream* source = in;
    if (!in || path != "-") {
        std::error_code ignored;
        if (std::filesystem::is_directory(PathFromUtf8(path), ignored)) return error(EISDIR);
        errno = 0;
        file.open(PathFromUtf8(path), std::ios::binary);
        if (!file) return error(errno ? errno : ENOENT);
        source = &file;
    }
#ifdef _WIN32
    if (source == &std::cin) _setmode(_fileno(stdin), _O_BINARY);  // the bytes as they are, "\r\n" included
#endif
    char buffer[65536];
    while (bytes.size() <= InputLimit && *source) {
        source->read(buffer, sizeof buffer);
        bytes.append(buffer, static_cast<std::size_t>(source->gcount()));
    }
    if (source->bad()) return error(errno ? errno : EIO);
    if (bytes.size() > InputLimit)
        return fmt::format(
            "it holds more than {} MiB, far more than any config file or scenario: not read "
            "further",
            InputLimit >> 20);
    return "";
}
