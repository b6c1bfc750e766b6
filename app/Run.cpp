#include "app/Run.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <fmt/core.h>

#include "app/RiotRun.h"
#include "app/Scenario.h"
#include "app/Utf8Path.h"

namespace {

bool Readable(const std::string& path) {
    std::ifstream file(PathFromUtf8(path), std::ios::binary);
    return static_cast<bool>(file);
}

// The replay's address as a link from the pictures' index.html, percent-encoded.
std::string LinkFrom(const std::string& folder, const std::string& file) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path from = fs::absolute(PathFromUtf8(folder.empty() ? "." : folder), error);
    const fs::path to = fs::absolute(PathFromUtf8(file), error);
    const auto relative = to.lexically_relative(from).generic_u8string();
    std::string link;
    for (const auto unit : relative) {
        const auto c = static_cast<unsigned char>(unit);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            (c != 0 && std::strchr("-._~/", c)))
            link += static_cast<char>(c);
        else
            link += fmt::format("%{:02X}", c);
    }
    return link;
}

}  // namespace

int RunRiot(const RunOptions& options, std::ostream& out, std::ostream& err) {
    Scenario scenario;
    try {
        scenario = options.scenario.empty() ? BuiltInScenario() : ReadScenario(options.scenario);
    } catch (const ScenarioError& error) {
        err << "skirmora-sim: " << error.what() << '\n';
        return RunFailed;
    }
    if (options.seconds) scenario.seconds = *options.seconds;
    if (options.seed) scenario.world.seed = *options.seed;

    // Like the game: the file in the current folder when there is one, else the built-in values.
    std::string config = options.config;
    std::string configNote;
    if (config.empty()) {
        config = Readable("Skirmora_config.txt") ? "Skirmora_config.txt" : "";
        configNote = config.empty() ? "no config file (built-in values)" : "./Skirmora_config.txt";
    } else {
        if (!Readable(config)) {
            err << fmt::format("skirmora-sim: cannot read the config file {}: {}\n", config,
                               std::strerror(errno));
            return RunFailed;
        }
        configNote = config;
    }

    std::ofstream traceFile;
    if (!options.trace.empty()) {
        traceFile.open(PathFromUtf8(options.trace), std::ios::binary | std::ios::trunc);
        if (!traceFile) {
            err << fmt::format("skirmora-sim: cannot write the trace {}: {}\n", options.trace,
                               std::strerror(errno));
            return RunFailed;
        }
    }

    const auto wallStart = std::chrono::steady_clock::now();
    auto lastShown = wallStart;
    std::function<void(const RiotProgress&)> progress;
    if (options.progress) {
        progress = [&](const RiotProgress& p) {
            const auto now = std::chrono::steady_clock::now();
            if (now - lastShown < std::chrono::milliseconds(200)) return;
            lastShown = now;
            const double wall = std::chrono::duration<double>(now - wallStart).count();
            err << fmt::format("\r  game time {:6.1f} s   rioters {:4}   {:8.0f} frames per second ",
                               p.seconds, p.rioters, wall > 0 ? static_cast<double>(p.frames) / wall : 0.0)
                << std::flush;
        };
    }

    ReplayRecorder replay;
    RiotResult result = PlayRiot(scenario, config, traceFile.is_open() ? &traceFile : nullptr, progress,
                                 options.html.empty() ? nullptr : &replay);
    if (options.progress) err << "\r" << std::string(72, ' ') << "\r" << std::flush;

    out << fmt::format("Scenario {}, {}: {:.0f} s of game time, {} frames, seed {}.\n\n", scenario.name,
                       configNote, scenario.seconds, result.frames, scenario.world.seed);
    out << FormatTimeline(result.rows) << '\n';
    for (size_t k = 0; k < result.pictures.factionNames.size(); ++k)
        out << "  " << result.pictures.factionNames[k] << '\n';
    out << '\n' << FormatTotals(result.totals, scenario.seconds);

    int status = 0;
    if (traceFile.is_open()) {
        traceFile.close();
        if (!traceFile) {
            err << fmt::format("skirmora-sim: writing the trace {} failed\n", options.trace);
            status = RunFailed;
        } else {
            out << fmt::format("Trace of every native call: {}\n", options.trace);
        }
    }
    if (!options.html.empty()) {
        ReplayFacts facts{configNote,    scenario.name, scenario.world.seed,         scenario.seconds,
                          result.frames, result.totals, result.pictures.factionNames};
        try {
            WriteReplay(options.html, ReplayHtml(replay.Recording(), facts));
            out << fmt::format("Replay: {}\n", options.html);
            result.pictures.replayLink = LinkFrom(options.svg, options.html);
        } catch (const std::exception& error) {
            err << "skirmora-sim: " << error.what() << '\n';
            status = RunFailed;
        }
    }
    if (!options.svg.empty()) {
        try {
            const std::vector<std::string> files = WritePictures(result.pictures, options.svg);
            out << fmt::format("Pictures: {} ({} files)\n", files.empty() ? options.svg : files.back(),
                               files.size());
        } catch (const std::exception& error) {
            err << "skirmora-sim: " << error.what() << '\n';
            status = RunFailed;
        }
    }
    for (const std::string& fault : result.faults)
        err << "skirmora-sim: the script broke the hook's protocol: " << fault << '\n';
    if (!result.faults.empty()) status = RunFailed;
    return status;
}
