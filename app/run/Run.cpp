#include "app/run/Run.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <fmt/core.h>

#include "app/InputFile.h"
#include "app/Utf8Path.h"
#include "app/check/Check.h"
#include "app/run/RiotRun.h"
#include "app/run/Scenario.h"
#include "config/Words.h"

namespace {

volatile std::sig_atomic_t Interrupted = 0;

extern "C" void OnInterrupt(int) {
    Interrupted = 1;
    std::signal(SIGINT, SIG_DFL);  // a second Ctrl+C ends the program at once
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

// Whether files can be made in the folder (made when missing), before a long run finds out that they cannot.
std::string FolderProblem(const std::string& dir) {
    const std::filesystem::path folder = PathFromUtf8(dir);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!error && !std::filesystem::is_directory(folder, error) && !error)
        error = std::make_error_code(std::errc::not_a_directory);
    if (error) return error.message();
    const std::filesystem::path probe = folder / ".skirmora-write-test";
    std::ofstream file(probe, std::ios::binary);
    const bool writable = file && (file << 'x') && file.flush();
    const std::string why = writable ? "" : std::strerror(errno);
    file.close();
    std::filesystem::remove(probe, error);
    return writable ? "" : why;
}

std::string Duration(double seconds) {
    const long whole = std::lround(seconds);
    if (whole < 60) return fmt::format("{} s", whole);
    if (whole < 3600) return fmt::format("{} min {:02} s", whole / 60, whole % 60);
    return fmt::format("{} h {:02} min", whole / 3600, whole % 3600 / 60);
}

// The check's verdict on the config, in one line, when the file does not load as it means; empty when it
// does.
std::string LoadNote(const std::string& config, const std::string& bytes) {
    int status = CheckLoaded;
    const std::string report = CheckBytes(config, bytes, status);
    if (status == CheckLoaded || status == CheckCannotRun) return "";
    const std::string verdict = report.substr(0, report.find(" (exit status"));
    return fmt::format(
        "Note: {}; the riot plays with what the game applies. Run `skirmora-sim check {}` for "
        "details.\n",
        Printable(verdict), config);
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
    std::string configNote, bytes;
    if (config.empty()) {
        config = ReadInput("Skirmora_config.txt", bytes).empty() ? "Skirmora_config.txt" : "";
        configNote = config.empty() ? "no config file (built-in values)" : "./Skirmora_config.txt";
    } else {
        const std::string error = ReadInput(config, bytes);
        if (!error.empty()) {
            err << fmt::format("skirmora-sim: cannot read the config file {}: {}\n", config, error);
            return RunFailed;
        }
        configNote = config;
    }

    // Every output is tried before the run: a long run must not end in a file that cannot be written.
    std::ofstream traceFile;
    if (!options.trace.empty()) {
        traceFile.open(PathFromUtf8(options.trace), std::ios::binary | std::ios::trunc);
        if (!traceFile) {
            err << fmt::format("skirmora-sim: cannot write the trace {}: {}\n", options.trace,
                               std::strerror(errno));
            return RunFailed;
        }
    }
    if (!options.log.empty()) {
        std::ofstream log(PathFromUtf8(options.log), std::ios::binary | std::ios::app);
        if (!log) {
            err << fmt::format("skirmora-sim: cannot write the log {}: {}\n", options.log,
                               std::strerror(errno));
            return RunFailed;
        }
    }
    if (!options.svg.empty()) {
        const std::string problem = FolderProblem(options.svg);
        if (!problem.empty()) {
            err << fmt::format("skirmora-sim: cannot write the pictures into {}: {}\n", options.svg, problem);
            return RunFailed;
        }
    }
    if (!options.html.empty()) {
        const std::string folder = PathFromUtf8(options.html).parent_path().u8string();
        const std::string problem = FolderProblem(folder.empty() ? "." : folder);
        if (!problem.empty()) {
            err << fmt::format("skirmora-sim: cannot write the replay {}: {}\n", options.html, problem);
            return RunFailed;
        }
    }
    out << fmt::format("Scenario {}, {}: {:.0f} s of game time, {} frames, seed {}.\n", scenario.name,
                       configNote, scenario.seconds, FrameCount(scenario), scenario.world.seed);
    if (!config.empty()) out << LoadNote(config, bytes);
    out << std::flush;
    if (!out) {
        err << "skirmora-sim: cannot write the standard output\n";
        return RunFailed;
    }

    const auto wallStart = std::chrono::steady_clock::now();
    auto lastShown = wallStart;
    bool traceFailed = false;
    Interrupted = 0;
    if (options.interruptible) std::signal(SIGINT, OnInterrupt);
    const auto progress = [&](const RiotProgress& p) {
        if (traceFile.is_open() && !traceFile) traceFailed = true;
        if (options.progress) {
            const auto now = std::chrono::steady_clock::now();
            if (now - lastShown >= std::chrono::milliseconds(200)) {
                lastShown = now;
                const double wall = std::chrono::duration<double>(now - wallStart).count();
                const double left = p.seconds > 0 ? wall * (scenario.seconds - p.seconds) / p.seconds : 0.0;
                err << fmt::format(
                           "\r  game time {:.0f} of {:.0f} s   rioters {:4}   {:8.0f} frames per second   "
                           "{} left ",
                           p.seconds, scenario.seconds, p.rioters,
                           wall > 0 ? static_cast<double>(p.frames) / wall : 0.0, Duration(left))
                    << std::flush;
            }
        }
        return !traceFailed && !Interrupted;
    };
    ReplayRecorder replay;
    RiotResult result = PlayRiot(scenario, config, traceFile.is_open() ? &traceFile : nullptr, progress,
                                 options.html.empty() ? nullptr : &replay, options.log);
    if (options.interruptible) std::signal(SIGINT, SIG_DFL);
    if (options.progress) err << "\r" << std::string(100, ' ') << "\r" << std::flush;

    int status = 0;
    if (result.stoppedEarly)
        out << fmt::format("Stopped at {:.0f} s of game time{}.\n", result.seconds,
                           traceFailed ? ": the trace could not be written" : " by Ctrl+C");
    out << '\n' << FormatTimeline(result.rows) << '\n';
    for (size_t k = 0; k < result.pictures.factionNames.size(); ++k)
        out << "  " << result.pictures.factionNames[k] << '\n';
    out << '\n' << FormatTotals(result.totals, result.seconds);

    if (!options.log.empty()) out << fmt::format("The script's log: {}\n", options.log);
    if (traceFile.is_open()) {
        traceFile.close();
        if (!traceFile || traceFailed) {
            err << fmt::format("skirmora-sim: writing the trace {} failed\n", options.trace);
            status = RunFailed;
        } else {
            out << fmt::format("Trace of every native call: {}\n", options.trace);
        }
    }
    if (!options.html.empty()) {
        ReplayFacts facts{configNote,    scenario.name, scenario.world.seed,         result.seconds,
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
    out << std::flush;
    if (!out) {
        err << "skirmora-sim: writing the standard output failed\n";
        status = RunFailed;
    }
    if (status == 0 && result.stoppedEarly && !traceFailed) status = RunInterrupted;
    return status;
}
