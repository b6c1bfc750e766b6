#include "app/run/RunInputs.h"

#include <random>

#include <fmt/core.h>

#include "app/CommandError.h"
#include "app/InputFile.h"
#include "app/OutputFile.h"
#include "app/TextTools.h"
#include "app/Utf8Path.h"
#include "app/run/SameFiles.h"
#include "config/Settings.h"

namespace fs = std::filesystem;

namespace {

std::string Named(const std::string& path) {
    return path == "-" ? "standard input" : path;
}

// The name the script reads the config by: the file itself, when reading it again gives the same bytes; else
// a copy of what was read.
std::string PlayedConfig(RunInputs& in) {
    std::error_code error;
    if (in.config.empty()) return "";
    if (in.config != "-" && fs::is_regular_file(PathFromUtf8(in.config), error)) return in.config;
    const std::string name =
        in.config == "-" ? ConfigFileNameBuiltIn : PathFromUtf8(in.config).filename().u8string();
    return in.copies.Keep(name.empty() ? ConfigFileNameBuiltIn : name, in.bytes);
}

}  // namespace

PrivateFolder::~PrivateFolder() {
    std::error_code ignored;
    if (!folder_.empty()) fs::remove_all(folder_, ignored);
}

std::string PrivateFolder::MakeFolder() {
    std::error_code error;
    for (int attempt = 0; folder_.empty() && attempt < 100; ++attempt) {
        const fs::path folder =
            fs::temp_directory_path(error) / fmt::format("skirmora-sim-{:08x}", std::random_device()());
        if (!error && fs::create_directory(folder, error)) folder_ = folder;
    }
    if (folder_.empty()) return error ? error.message() : "no temporary folder is free";
    removedFolder_.Set(folder_, true);
    fs::permissions(folder_, fs::perms::owner_all, error);  // the config is nobody else's business
    return "";
}

std::string PrivateFolder::Keep(const std::string& name, const std::string& bytes) {
    const std::string problem = folder_.empty() ? MakeFolder() : "";
    if (!problem.empty()) throw CommandError(RunFailed, "cannot keep a copy of the config: " + problem);
    const fs::path path = folder_ / PathFromUtf8(name);
    OutputFile copy(path.u8string(), "the copy of the config ");
    copy.Stream() << bytes;
    copy.Commit();
    removedCopy_.Set(path);
    return path.u8string();
}

void ReadInputs(const RunOptions& options, RunInputs& in) {
    RefuseOnePipe({"--config " + options.config, options.config},
                  {"--scenario " + options.scenario, options.scenario});
    try {
        in.scenario = options.scenario.empty() ? BuiltInScenario() : ReadScenario(options.scenario);
    } catch (const ScenarioError& error) {
        throw CommandError(RunFailed, error.what());
    }
    if (options.seconds) in.scenario.seconds = *options.seconds;
    if (options.seed) in.scenario.world.seed = *options.seed;
    // Like the game: the file in the current folder when there is one, else the built-in values.
    const std::string standard = ConfigFileNameBuiltIn;
    in.config = options.config;
    std::error_code error;
    if (in.config.empty() && !fs::exists(PathFromUtf8(standard), error)) {
        in.note = "no config file (built-in values)";
    } else if (in.config.empty()) {
        const std::string problem = ReadInput(standard, in.bytes);
        if (!problem.empty())
            throw CommandError(RunFailed, "cannot read the config file ./" + standard + ": " + problem);
        in.config = standard;
        in.note = "./" + standard;
    } else {
        const std::string error = ReadInput(in.config, in.bytes, &std::cin);
        if (!error.empty())
            throw CommandError(RunFailed,
                               fmt::format("cannot read the config file {}: {}", Named(in.config), error));
        in.note = Named(in.config);
    }
    in.played = PlayedConfig(in);
}
