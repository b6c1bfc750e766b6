#include "app/Check.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <fmt/format.h>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "app/CheckLoad.h"
#include "app/CheckText.h"
#include "app/Utf8Path.h"
#include "sim/Simulation.h"

namespace {

// Reads the whole input once, up to the limit; what went wrong, or "".
std::string ReadInput(const std::string& path, std::istream& in, std::string& bytes) {
    std::ifstream file;
    std::istream* source = &in;
    if (path != "-") {
        std::error_code ignored;
        if (std::filesystem::is_directory(PathFromUtf8(path), ignored))
            return std::generic_category().message(EISDIR);
        errno = 0;
        file.open(PathFromUtf8(path), std::ios::binary);
        if (!file) return std::generic_category().message(errno ? errno : ENOENT);
        source = &file;
    }
#ifdef _WIN32
    if (source == &std::cin) _setmode(_fileno(stdin), _O_BINARY);  // the bytes as they are, "\r\n" included
#endif
    char buffer[65536];
    while (bytes.size() <= CheckInputLimit && *source) {
        source->read(buffer, sizeof buffer);
        bytes.append(buffer, static_cast<std::size_t>(source->gcount()));
    }
    if (source->bad()) return std::generic_category().message(errno ? errno : EIO);
    if (bytes.size() > CheckInputLimit)
        return fmt::format("it holds more than {} MiB, far more than any config file: not read further",
                           CheckInputLimit >> 20);
    return "";
}

}  // namespace

int CheckConfigFile(const std::string& path, std::ostream& out, std::ostream& err, std::istream& in) {
    const std::string name = path == "-" ? "standard input" : path;
    // The check needs a fresh simulated game of its own.
    const bool running = CurrentGame() != nullptr;
    std::string bytes;
    const std::string error =
        running ? "a simulated game is already running in this process" : ReadInput(path, in, bytes);
    if (!error.empty()) {
        err << Printable(
            fmt::format("skirmora-sim: cannot {} {}: {}\n", running ? "check" : "read", name, error));
        return CheckCannotRun;
    }
    int status = CheckLoaded;
    const std::string report = CheckBytes(name, bytes, status);
    errno = 0;
    out << Printable(report) << std::flush;
    if (!out) {
        err << fmt::format("skirmora-sim: cannot write the report: {}\n",
                           errno ? std::generic_category().message(errno) : "the output is closed");
        return CheckCannotRun;
    }
    return status;
}
