#include "app/run/RunInputs.h"

#include <random>

#include <fmt/core.h>

#include "app/CommandError.h"
#include "app/InputFile.h"
#include "app/OutputFile.h"
#include "app/Utf8Path.h"
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

std::string PrivateFolder::Keep(const std::string& name, const std::string& bytes) {
    std::error_code error;
    for (int attempt = 0; folder_.empty() && attempt < 100; ++attempt) {
        const fs::path folder =
            fs::temp_directory_path(error) / fmt::format("skirmora-sim-{:08x}", std::random_device()());
        if (!error && fs::create_directory(folder, error)) folder_ = folder;
    }
    if (folder_.empty())
        throw CommandError(RunFailed, "cannot keep a copy of the config: " +
                                          (error ? error.message() : "no temporary folder is free"));
    OutputFile copy((folder_ / PathFromUtf8(name)).u8string(), "the copy of the config ");
    copy.Stream() << bytes;
    copy.Commit();
    return (folder_ / PathFromUtf8(name)).u8string();
}

void ReadInputs(const RunOptions& options, RunInputs& in) {
    if (options.config == "-" && options.scenario == "-")
        throw CommandError(RunFailed, "--config and --scenario cannot both be read from standard input");
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
    if (in.config.empty()) {
        in.config = ReadInput(standard, in.bytes).empty() ? standard : "";
        in.note = in.config.empty() ? "no config file (built-in values)" : "./" + standard;
    } else {
        const std::string error = ReadInput(in.config, in.bytes, &std::cin);
        if (!error.empty())
            throw CommandError(RunFailed,
                               fmt::format("cannot read the config file {}: {}", Named(in.config), error));
        in.note = Named(in.config);
    }
    in.played = PlayedConfig(in);
}
