#include "app/run/SameFiles.h"

#include <filesystem>
#include <system_error>

#include <fmt/core.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "app/CommandError.h"
#include "app/OutputFile.h"
#include "app/Utf8Path.h"
#include "app/run/Run.h"
#include "app/views/Pictures.h"

namespace fs = std::filesystem;

namespace {

// The file a name stands for: a link followed to its end, standard input as the file it was given.
fs::path PathOf(const std::string& name) {
#ifndef _WIN32
    if (name == "-") return "/dev/stdin";  // what standard input is: a file, when it was redirected from one
#endif
    const fs::path path = LinkedFile(PathFromUtf8(name));
    return path.has_parent_path() ? path : "." / path;
}

// Files that hold what is written to them, or none yet; a device or a pipe is neither.
bool Comparable(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    return fs::is_regular_file(status) || status.type() == fs::file_type::not_found;
}

// One file by its identity, a pipe or a device too (std::filesystem compares only files and folders).
bool SameNode(const fs::path& a, const fs::path& b) {
#ifdef _WIN32
    std::error_code error;
    return fs::equivalent(a, b, error);
#else
    struct stat first, second;
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
#endif
}

bool SameFolder(const fs::path& a, const fs::path& b) {
    std::error_code error;
    if (fs::equivalent(a, b, error)) return true;
    const fs::path first = fs::absolute(a, error).lexically_normal();
    return !error && first == fs::absolute(b, error).lexically_normal() && !error;
}

// The same file: the same identity when both are there, else the same name in the same folder.
bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    const bool first = fs::exists(a, error), second = fs::exists(b, error);
    if (first && second) return fs::equivalent(a, b, error);
    return first == second && a.filename() == b.filename() && SameFolder(a.parent_path(), b.parent_path());
}

}  // namespace

void RefuseOnePipe(const RunFile& config, const RunFile& scenario) {
    if (config.path.empty() || scenario.path.empty()) return;
    if (config.path == "-" && scenario.path == "-")
        throw CommandError(RunFailed, "--config and --scenario cannot both be read from standard input");
    const fs::path a = PathOf(config.path), b = PathOf(scenario.path);
    if (!Comparable(a) && SameNode(a, b))
        throw CommandError(RunFailed, fmt::format("{} and {} are one pipe, which holds one input only: give "
                                                  "each its own",
                                                  config.name, scenario.name));
}

void RefuseSameFiles(const std::vector<RunFile>& inputs, const std::vector<RunFile>& outputs,
                     const std::string& pictures) {
    for (const RunFile& input : inputs)
        if (!pictures.empty() && Comparable(PathOf(input.path)) &&
            SameFolder(PathOf(input.path).parent_path(), PathFromUtf8(pictures)))
            throw CommandError(RunFailed, fmt::format("--svg {} holds {}, which the run reads: the pictures "
                                                      "go into a folder of their own",
                                                      pictures, input.name));
    for (size_t k = 0; k < outputs.size(); ++k) {
        const fs::path output = PathOf(outputs[k].path);
        if (!Comparable(output)) continue;
        if (!outputs[k].picture && !pictures.empty() && SameFile(output, PathOf(pictures)))
            throw CommandError(RunFailed,
                               fmt::format("{} is the folder --svg {}", outputs[k].name, pictures));
        // Maps of an earlier run are removed by their names, whether this run writes them or not.
        if (!outputs[k].picture && !pictures.empty() && IsPictureName(output.filename().u8string()) &&
            SameFolder(output.parent_path(), PathFromUtf8(pictures)))
            throw CommandError(RunFailed,
                               fmt::format("{} is a file that --svg {} writes", outputs[k].name, pictures));
        for (const RunFile& input : inputs)
            if (Comparable(PathOf(input.path)) && SameFile(output, PathOf(input.path)))
                throw CommandError(RunFailed,
                                   fmt::format("{} is {}, which the run reads", outputs[k].name, input.name));
        for (size_t j = 0; j < k; ++j)
            if (Comparable(PathOf(outputs[j].path)) && SameFile(output, PathOf(outputs[j].path)))
                throw CommandError(
                    RunFailed, fmt::format("{} and {} are the same file", outputs[j].name, outputs[k].name));
    }
}
