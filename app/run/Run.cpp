#include "app/run/Run.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include <fmt/core.h>

#include "app/CommandError.h"
#include "app/InputFile.h"
#include "app/Utf8Path.h"
#include "app/check/Check.h"
#include "app/run/RiotRun.h"
#include "app/run/Scenario.h"
#include "app/views/Pictures.h"
#include "app/views/Replay.h"
#include "app/views/Timeline.h"
#include "config/Settings.h"
#include "config/Words.h"
#include "riot/Cull.h"

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

struct RunInputs {
    Scenario scenario;
    std::string config;  // the file the script reads; empty: none
    std::string note;    // the config as the first line names it
    std::string bytes;
};

RunInputs ReadInputs(const RunOptions& options) {
    RunInputs in;
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
        return in;
    }
    const std::string error = ReadInput(in.config, in.bytes);
    if (!error.empty())
        throw CommandError(RunFailed, fmt::format("cannot read the config file {}: {}", in.config, error));
    in.note = in.config;
    return in;
}

// Every output is tried before the run: a long run must not end in a file that cannot be written.
void TryOutputs(const RunOptions& options, std::ofstream& trace) {
    if (!options.trace.empty()) {
        trace.open(PathFromUtf8(options.trace), std::ios::binary | std::ios::trunc);
        if (!trace)
            throw CommandError(
                RunFailed, fmt::format("cannot write the trace {}: {}", options.trace, std::strerror(errno)));
    }
    if (!options.log.empty() && !std::ofstream(PathFromUtf8(options.log), std::ios::binary | std::ios::app))
        throw CommandError(RunFailed,
                           fmt::format("cannot write the log {}: {}", options.log, std::strerror(errno)));
    const std::string htmlFolder = PathFromUtf8(options.html).parent_path().u8string();
    const std::pair<std::string, std::string> folders[] = {{options.svg, "the pictures into " + options.svg},
                                                           {options.html.empty() ? ""
                                                            : htmlFolder.empty() ? "."
                                                                                 : htmlFolder,
                                                            "the replay " + options.html}};
    for (const auto& [folder, what] : folders) {
        const std::string problem = folder.empty() ? "" : FolderProblem(folder);
        if (!problem.empty())
            throw CommandError(RunFailed, fmt::format("cannot write {}: {}", what, problem));
    }
}

// The progress line on a terminal, and Ctrl+C.
class Progress {
  public:
    Progress(const RunOptions& options, const Scenario& scenario, std::ofstream& trace, std::ostream& err)
        : options_(options), scenario_(scenario), trace_(trace), err_(err) {
        Interrupted = 0;
        if (options.interruptible) std::signal(SIGINT, OnInterrupt);
    }
    ~Progress() {
        if (options_.interruptible) std::signal(SIGINT, SIG_DFL);
        if (options_.progress) err_ << "\r" << std::string(100, ' ') << "\r" << std::flush;
    }
    bool operator()(const RiotProgress& p) {
        if (trace_.is_open() && !trace_) traceFailed = true;
        const auto now = std::chrono::steady_clock::now();
        if (options_.progress && now - lastShown_ >= std::chrono::milliseconds(200)) {
            lastShown_ = now;
            const double wall = std::chrono::duration<double>(now - start_).count();
            const double left = p.seconds > 0 ? wall * (scenario_.seconds - p.seconds) / p.seconds : 0.0;
            err_ << fmt::format(
                        "\r  game time {:.0f} of {:.0f} s   rioters {:4}   {:8.0f} frames per second   {} "
                        "left ",
                        p.seconds, scenario_.seconds, p.rioters,
                        wall > 0 ? static_cast<double>(p.frames) / wall : 0.0, Duration(left))
                 << std::flush;
        }
        return !traceFailed && !Interrupted;
    }
    bool traceFailed = false;

  private:
    const RunOptions& options_;
    const Scenario& scenario_;
    std::ofstream& trace_;
    std::ostream& err_;
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point lastShown_ = start_;
};

void PrintTimeline(const RiotResult& result, bool traceFailed, std::ostream& out) {
    if (result.stoppedEarly)
        out << fmt::format("Stopped at {:.0f} s of game time{}.\n", result.seconds,
                           traceFailed ? ": the trace could not be written" : " by Ctrl+C");
    const Recording& recording = result.recording;
    out << '\n' << FormatTimeline(recording.rows) << '\n';
    for (const std::string& name : recording.factionNames)
        out << "  " << name << '\n';
    out << '\n' << FormatTotals(recording.totals, result.seconds);
}

// Writes the files of the run, each said on out or, failing, on err: the status.
int WriteOutputs(const RunOptions& options, const RunInputs& in, const RiotResult& result,
                 std::ofstream& trace, bool traceFailed, std::ostream& out, std::ostream& err) {
    int status = 0;
    if (!options.log.empty()) out << fmt::format("The script's log: {}\n", options.log);
    if (trace.is_open()) {
        trace.close();
        if (!trace || traceFailed)
            status = Tell(err, RunFailed, fmt::format("writing the trace {} failed", options.trace));
        else
            out << fmt::format("Trace of every native call: {}\n", options.trace);
    }
    PictureSet pictures{in.scenario.name,      result.recording.factionNames, CullDistance,
                        result.recording.maps, result.recording.chart,        ""};
    try {
        if (!options.html.empty()) {
            const ReplayFacts facts{in.note, in.scenario.name, in.scenario.world.seed, result.seconds,
                                    result.frames};
            WriteReplay(options.html, ReplayHtml(result.recording, facts));
            out << fmt::format("Replay: {}\n", options.html);
            pictures.replayLink = LinkFrom(options.svg, options.html);
        }
    } catch (const std::exception& error) {
        status = Tell(err, RunFailed, error.what());
    }
    try {
        if (!options.svg.empty()) {
            const std::vector<std::string> files = WritePictures(pictures, options.svg);
            out << fmt::format("Pictures: {} ({} files)\n", files.empty() ? options.svg : files.back(),
                               files.size());
        }
    } catch (const std::exception& error) {
        status = Tell(err, RunFailed, error.what());
    }
    return status;
}

}  // namespace

int RunRiot(const RunOptions& options, std::ostream& out, std::ostream& err) {
    try {
        const RunInputs in = ReadInputs(options);
        std::ofstream trace;
        TryOutputs(options, trace);
        out << fmt::format("Scenario {}, {}: {:.0f} s of game time, {} frames, seed {}.\n", in.scenario.name,
                           in.note, in.scenario.seconds, FrameCount(in.scenario), in.scenario.world.seed);
        if (!in.config.empty()) out << LoadNote(in.config, in.bytes);
        if (!(out << std::flush)) throw CommandError(RunFailed, "cannot write the standard output");
        RiotOutputs outputs;
        outputs.trace = trace.is_open() ? &trace : nullptr;
        outputs.log = options.log;
        outputs.replaySamples = !options.html.empty();
        Progress progress(options, in.scenario, trace, err);
        const RiotResult result = PlayRiot(in.scenario, in.config, outputs, std::ref(progress));
        PrintTimeline(result, progress.traceFailed, out);
        int status = WriteOutputs(options, in, result, trace, progress.traceFailed, out, err);
        for (const std::string& fault : result.faults)
            status = Tell(err, RunFailed, "the script broke the hook's protocol: " + fault);
        if (!(out << std::flush)) status = Tell(err, RunFailed, "writing the standard output failed");
        return status == 0 && result.stoppedEarly && !progress.traceFailed ? RunInterrupted : status;
    } catch (const CommandError& error) {
        return Tell(err, error);
    }
}
