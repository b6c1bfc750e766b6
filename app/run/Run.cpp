#include "app/run/Run.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <vector>

#include <fmt/format.h>

#include "app/CommandError.h"
#include "app/OutputFile.h"
#include "app/Utf8Path.h"
#include "app/check/Check.h"
#include "app/run/RiotRun.h"
#include "app/run/RunInputs.h"
#include "app/run/SameFiles.h"
#include "app/run/Scenario.h"
#include "app/views/Pictures.h"
#include "app/views/Replay.h"
#include "app/views/Timeline.h"
#include "config/Settings.h"
#include "config/Words.h"
#include "riot/Cull.h"
#include "riot/Recruit.h"
#include "riot/Roster.h"

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

// Whether files can be made in the folder (made when missing, in a folder that is there), before a long run
// finds out that they cannot.
std::string FolderProblem(const std::string& dir) {
    const std::filesystem::path folder = PathFromUtf8(dir);
    std::error_code error;
    std::filesystem::create_directory(folder, error);
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

// What the run's first lines need of its config, from one check of it in a fresh game: the check's verdict
// when the file does not load as it means (empty when it does, or there is no file), and the most rioters the
// factions in force can hold.
struct ConfigFacts {
    std::string verdict;
    uint64_t rioters = 0;
};

ConfigFacts CheckConfig(const RunInputs& in) {
    ConfigFacts facts;
    CheckInFreshGame(in.bytes, [&](const CheckedLoad& checked, int status) {
        if (!in.config.empty() && status != CheckLoaded)
            facts.verdict = (in.config == "-" ? in.note : in.config) + ": " + Headline(checked, status);
        facts.rioters = MostRioters();
    });
    return facts;
}

std::string LoadNote(const RunInputs& in, const ConfigFacts& facts) {
    if (facts.verdict.empty()) return "";
    return fmt::format(
        "Note: {}; the riot plays with what the game applies. Run `skirmora-sim check {}` for "
        "details.\n",
        facts.verdict, in.config);
}

// "the press at 80 s", "the snapshots at 70, 75 and 80 s", "12 presses from 61 s on".
std::string Moments(const std::vector<double>& moments, const char* one, const char* many) {
    if (moments.size() > 3)
        return fmt::format("{} {} from {} s on", moments.size(), many, SecondsText(moments[0]));
    std::string text = std::string("the ") + (moments.size() == 1 ? one : many);
    for (size_t k = 0; k < moments.size(); ++k)
        text += (k == 0 ? " at " : k + 1 == moments.size() ? " and " : ", ") + SecondsText(moments[k]);
    return text + " s";
}

std::string UnreachedNote(const Scenario& scenario) {
    const PastTheEnd past = Unreached(scenario);
    std::vector<std::string> parts;
    if (!past.presses.empty()) parts.push_back(Moments(past.presses, "press", "presses"));
    if (!past.snapshots.empty()) parts.push_back(Moments(past.snapshots, "snapshot", "snapshots"));
    if (parts.empty()) return "";
    return fmt::format("Note: past the run's end ({} s), left out: {}.\n", SecondsText(scenario.seconds),
                       fmt::join(parts, ", "));
}

// A trace of more than a GB is said before the run, roughly. Most of it is the combat pass's 2N²+6N calls for
// N rioters: the built-in scenario traces 16 kB a game second with none, 63 kB with 20, 1 MB with 100.
std::string TraceSizeNote(const RunOptions& options, const RunInputs& in, uint64_t rioters) {
    if (options.trace.empty()) return "";
    const double n = static_cast<double>(rioters);
    const double seconds = std::min(options.traceTo.value_or(1e18), in.scenario.seconds) -
                           std::min(options.traceFrom.value_or(0.0), in.scenario.seconds);
    const double bytes = seconds * (15750.0 + 445.0 * n + 95.0 * n * n);
    if (bytes <= 1e9) return "";
    const std::string size = fmt::format("{:.{}f} GB", bytes / 1e9, bytes < 1e10 ? 1 : 0);
    return fmt::format(
        "Note: the trace will take some {} ({} s of game time with up to {} rioters); "
        "--trace-from and --trace-to trace a part of the run.\n",
        size, SecondsText(seconds), rioters);
}

// The files the run writes, each tried before the run: a long run must not end in a file that cannot be
// written, nor write over what it reads.
struct RunFiles {
    std::unique_ptr<OutputFile> trace, log, html;
};

RunFiles OpenOutputs(const RunOptions& options, const RunInputs& in) {
    std::vector<RunFile> inputs, outputs;
    if (!in.config.empty())
        inputs.push_back({options.config.empty() ? "" : "--config", in.config, "the config file"});
    if (!options.scenario.empty()) inputs.push_back({"--scenario", options.scenario, "the scenario"});
    for (const auto& [option, path] :
         {std::pair{"--trace", options.trace}, {"--log", options.log}, {"--html", options.html}})
        if (!path.empty()) outputs.push_back({option, path, ""});
    RefuseSameFiles(inputs, outputs, options.svg);
    RunFiles files;
    if (!options.trace.empty()) files.trace = std::make_unique<OutputFile>(options.trace, "the trace ");
    if (!options.log.empty()) {
        files.log = std::make_unique<OutputFile>(options.log, "the log ");
        files.log->Close();  // the script opens it
    }
    const std::string problem = options.svg.empty() ? "" : FolderProblem(options.svg);
    if (!problem.empty())
        throw CommandError(RunFailed,
                           fmt::format("cannot write the pictures into {}: {}", options.svg, problem));
    if (!options.html.empty()) files.html = std::make_unique<OutputFile>(options.html, "the replay ");
    return files;
}

// The progress line on a terminal, and Ctrl+C.
class Progress {
  public:
    Progress(const RunOptions& options, const Scenario& scenario, const OutputFile* trace, std::ostream& err)
        : options_(options), scenario_(scenario), trace_(trace), err_(err) {
        Interrupted = 0;
        if (options.interruptible) std::signal(SIGINT, OnInterrupt);
    }
    ~Progress() {
        if (options_.interruptible) std::signal(SIGINT, SIG_DFL);
        if (options_.progress) err_ << "\r" << std::string(100, ' ') << "\r" << std::flush;
    }
    bool operator()(const RiotProgress& p) {
        if (trace_ && trace_->Failed()) traceFailed = true;
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
    const OutputFile* trace_;
    std::ostream& err_;
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point lastShown_ = start_;
};

// Text fit for a terminal: names may hold anything.
void Say(std::ostream& out, const std::string& text) {
    out << Printable(text);
}

// Flushes out; why it failed, or "" (errno is that of the write that failed, when one before the flush did).
std::string Flushed(std::ostream& out) {
    if (out) {
        errno = 0;
        out << std::flush;
    }
    return out ? "" : errno ? SystemError(errno) : "the output is closed";
}

void PrintTimeline(const RiotResult& result, bool traceFailed, std::ostream& out) {
    if (result.stoppedEarly)
        out << fmt::format("Stopped at {} s of game time{}.\n", SecondsText(result.seconds),
                           traceFailed ? ": the trace could not be written" : " by Ctrl+C");
    const Recording& recording = result.recording;
    out << '\n' << FormatTimeline(recording.rows) << '\n';
    for (const std::string& name : recording.factionNames)
        out << "  " << name << '\n';
    out << '\n' << FormatTotals(recording.totals, result.seconds);
    out << FormatFactionTable(recording);
}

// Puts each file of the run in place and says so on out or, failing, on err: the status.
int WriteOutputs(const RunOptions& options, const RunInputs& in, const RiotResult& result, RunFiles& files,
                 std::ostream& out, std::ostream& err) {
    int status = 0;
    const auto commit = [&](OutputFile* file, const std::string& said) {
        try {
            if (file) file->Commit();
            if (file) Say(out, said);
            return file != nullptr;
        } catch (const std::exception& error) {
            status = Tell(err, RunFailed, error.what());
            return false;
        }
    };
    commit(files.log.get(), fmt::format("The script's log: {}\n", options.log));
    commit(files.trace.get(), fmt::format("Trace of every native call: {}\n", options.trace));
    PictureSet pictures{in.scenario.name,      result.recording.factionNames, CullDistance,
                        result.recording.maps, result.recording.chart,        ""};
    if (files.html) {
        const ReplayFacts facts{in.note, in.scenario.name, in.scenario.world.seed, result.seconds,
                                result.frames};
        files.html->Stream() << ReplayHtml(result.recording, facts);
        if (commit(files.html.get(), fmt::format("Replay: {}\n", options.html)))
            pictures.replayLink = LinkFrom(options.svg, options.html);
    }
    try {
        if (!options.svg.empty()) {
            const std::vector<std::string> files = WritePictures(pictures, options.svg);
            Say(out, fmt::format("Pictures: {} ({} files)\n", files.back(), files.size()));
        }
    } catch (const std::exception& error) {
        status = Tell(err, RunFailed, error.what());
    }
    return status;
}

}  // namespace

int RunRiot(const RunOptions& options, std::ostream& out, std::ostream& err) {
    try {
        if ((options.traceFrom || options.traceTo) && options.trace.empty())
            throw CommandError(RunFailed,
                               "--trace-from and --trace-to choose a part of the trace: give --trace");
        if (options.traceFrom.value_or(0.0) >= options.traceTo.value_or(1e18))
            throw CommandError(RunFailed, "--trace-from must come before --trace-to");
        RunInputs in;
        ReadInputs(options, in);
        RunFiles files = OpenOutputs(options, in);
        const int64_t frames = FrameCount(in.scenario);
        Say(out, fmt::format("Scenario {}, {}: {} s of game time, {} frame{}, seed {}.\n", in.scenario.name,
                             in.note, SecondsText(in.scenario.seconds), frames, frames == 1 ? "" : "s",
                             in.scenario.world.seed));
        const ConfigFacts config = CheckConfig(in);
        Say(out,
            LoadNote(in, config) + UnreachedNote(in.scenario) + TraceSizeNote(options, in, config.rioters));
        const std::string header = Flushed(out);
        if (!header.empty()) throw CommandError(RunFailed, "cannot write the standard output: " + header);
        RiotOutputs outputs;
        outputs.trace = files.trace ? &files.trace->Stream() : nullptr;
        outputs.traceFrom = options.traceFrom.value_or(0.0);
        outputs.traceTo = options.traceTo.value_or(1e18);
        outputs.log = files.log ? files.log->WorkingPath() : "";
        outputs.logName = options.log;
        outputs.replaySamples = files.html != nullptr;
        Progress progress(options, in.scenario, files.trace.get(), err);
        const RiotResult result = PlayRiot(in.scenario, in.played, outputs, std::ref(progress));
        errno = 0;
        PrintTimeline(result, progress.traceFailed, out);
        const std::string printed = Flushed(out);
        int status = WriteOutputs(options, in, result, files, out, err);
        for (const std::string& fault : result.faults)
            status = Tell(err, RunFailed, "the script broke the hook's protocol: " + fault);
        const std::string unwritten = printed.empty() ? Flushed(out) : printed;
        if (!unwritten.empty())
            status = Tell(err, RunFailed, "cannot write the standard output: " + unwritten);
        return status == 0 && result.stoppedEarly && !progress.traceFailed ? RunInterrupted : status;
    } catch (const CommandError& error) {
        return Tell(err, error);
    }
}
