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
#include "app/TextTools.h"
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

volatile std::sig_atomic_t Interrupted = 0;  // the signal that ends the run, or 0

// The signals that end a run early, as Ctrl+C does: a closed terminal, kill, timeout.
constexpr int StopSignals[] = {
    SIGINT,
    SIGTERM,
#ifdef SIGHUP
    SIGHUP,
#endif
};

extern "C" void OnSignal(int signal) {
    if (Interrupted) {  // a second one ends the program at once, and leaves nothing behind
        RemoveTemporaries();
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    Interrupted = signal;
    std::signal(signal, OnSignal);  // Windows resets the handler before calling it
}

// The signals' handlers for as long as the run has files of its own.
class SignalsCaught {
  public:
    explicit SignalsCaught(bool caught) : caught_(caught) {
        Interrupted = 0;
        for (const int signal : StopSignals)
            if (caught_) std::signal(signal, OnSignal);
    }
    ~SignalsCaught() {
        for (const int signal : StopSignals)
            if (caught_) std::signal(signal, SIG_DFL);
    }
    SignalsCaught(const SignalsCaught&) = delete;
    SignalsCaught& operator=(const SignalsCaught&) = delete;

  private:
    bool caught_;
};

std::string SignalName(int signal) {
    if (signal == SIGINT) return "Ctrl+C";
    if (signal == SIGTERM) return "SIGTERM";
#ifdef SIGHUP
    if (signal == SIGHUP) return "SIGHUP";
#endif
    return fmt::format("signal {}", signal);
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

// Why the pictures cannot go into the folder, or "": files must be possible there or, for a folder that is
// not there yet, in the folder it goes in. Nothing is made here: the folder is, once every output is fine.
std::string PicturesProblem(const std::string& dir, bool& existed) {
    namespace fs = std::filesystem;
    const fs::path folder = PathFromUtf8(dir);
    std::error_code error;
    const fs::file_status status = fs::status(folder, error);
    existed = fs::exists(status);
    if (error && status.type() != fs::file_type::not_found) return error.message();
    if (existed && !fs::is_directory(status)) return SystemError(ENOTDIR);
    const fs::path parent = folder.has_parent_path() ? folder.parent_path() : ".";
    return FolderProblem(existed ? folder : parent);
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
        facts.rioters = MostRiotersIn(checked);
    });
    return facts;
}

// The config's name as the check's command line takes it: quoted for a shell, after -- when it reads like an
// option.
std::string CheckCommandArgument(const std::string& config) {
    return (config.size() > 1 && config[0] == '-' ? "-- " : "") + ShellQuoted(config);
}

std::string LoadNote(const RunInputs& in, const ConfigFacts& facts) {
    if (facts.verdict.empty()) return "";
    return fmt::format(
        "Note: {}; the riot plays with what the game applies. Run `skirmora-sim check {}` for "
        "details.\n",
        OneLine(facts.verdict), OneLine(CheckCommandArgument(in.config)));
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

// The maps the run draws, by the scenario's snapshots: six spread over the run when it names none.
size_t MapCount(const Scenario& scenario) {
    if (scenario.snapshots.empty()) return 6;
    return scenario.snapshots.size() - Unreached(scenario).snapshots.size();
}

// Every file the run writes, with its name for messages: the pictures, the trace, the log, the replay and the
// standard output when it is a file.
std::vector<RunFile> Outputs(const RunOptions& options, const Scenario& scenario) {
    std::vector<RunFile> outputs;
    if (!options.svg.empty()) {
        std::vector<std::string> names = {"index.html", "members.svg"};
        for (size_t k = 0; k < MapCount(scenario); ++k)
            names.push_back(fmt::format("map-{:02}.svg", k + 1));
        for (const std::string& name : names) {
            const std::string path = (PathFromUtf8(options.svg) / name).u8string();
            outputs.push_back({fmt::format("the picture {} (--svg {})", path, options.svg), path, true});
        }
    }
    for (const auto& [option, path] :
         {std::pair{"--trace", options.trace}, {"--log", options.log}, {"--html", options.html}})
        if (!path.empty()) outputs.push_back({option + (" " + path), path});
    const std::string standard = StandardOutputFile();
    if (!standard.empty()) outputs.push_back({"the standard output", standard});
    return outputs;
}

// The pictures' folder when the run made it: a run that ends without pictures (refused, failed, a second
// signal) removes it, unless something else went in.
struct MadeFolder {
    std::filesystem::path path;
    TemporaryName removed;  // for a signal's ending
    bool kept = false;
    ~MadeFolder() {
        std::error_code ignored;
        if (!path.empty() && !kept) std::filesystem::remove(path, ignored);
    }
};

// The files the run writes, each tried before the run: a long run must not end in a file that cannot be
// written, nor write over what it reads. Nothing is written until every one is known to be fine.
struct RunFiles {
    MadeFolder svg;  // made before the others, which may go into it (--html pics/replay.html)
    std::unique_ptr<OutputFile> trace, log, html;
};

void OpenOutputs(const RunOptions& options, const RunInputs& in, RunFiles& files) {
    std::vector<RunFile> inputs;
    if (!in.config.empty()) inputs.push_back({"the config file " + in.config, in.config});
    if (!options.scenario.empty()) inputs.push_back({"the scenario " + options.scenario, options.scenario});
    RefuseSameFiles(inputs, Outputs(options, in.scenario), options.svg);
    bool existed = true;
    const std::string problem = options.svg.empty() ? "" : PicturesProblem(options.svg, existed);
    if (!problem.empty())
        throw CommandError(RunFailed,
                           fmt::format("cannot write the pictures into {}: {}", options.svg, problem));
    std::error_code error;
    if (!existed && std::filesystem::create_directory(PathFromUtf8(options.svg), error)) {
        files.svg.path = PathFromUtf8(options.svg);
        files.svg.removed.Set(files.svg.path, true);
    }
    if (!options.trace.empty()) files.trace = std::make_unique<OutputFile>(options.trace, "the trace ");
    if (!options.log.empty()) {
        files.log = std::make_unique<OutputFile>(options.log, "the log ");
        files.log->Close();  // the script opens it
    }
    if (!options.html.empty()) files.html = std::make_unique<OutputFile>(options.html, "the replay ");
}

// The progress line on a terminal, one line of at most its width less one column (80 when it does not say),
// so that it never wraps; and the signals that end the run.
class Progress {
  public:
    Progress(const RunOptions& options, const Scenario& scenario, const OutputFile* trace, std::ostream& err)
        : options_(options), scenario_(scenario), trace_(trace), err_(err) {}
    ~Progress() {
        if (shown_ > 0) err_ << "\r" << std::string(shown_, ' ') << "\r" << std::flush;
    }
    bool operator()(const RiotProgress& p) {
        if (trace_ && trace_->Failed()) traceFailed = true;
        const auto now = std::chrono::steady_clock::now();
        if (options_.progress && now - lastShown_ >= std::chrono::milliseconds(200)) {
            lastShown_ = now;
            Show(p, std::chrono::duration<double>(now - start_).count());
        }
        return !traceFailed && !Interrupted;
    }
    bool traceFailed = false;

  private:
    void Show(const RiotProgress& p, double wall) {
        const double left = p.seconds > 0 ? wall * (scenario_.seconds - p.seconds) / p.seconds : 0.0;
        std::string line =
            fmt::format("  game time {:.0f} of {:.0f} s  rioters {:3}  {:.0f} frames/s  {} left", p.seconds,
                        scenario_.seconds, p.rioters, wall > 0 ? static_cast<double>(p.frames) / wall : 0.0,
                        Duration(left));
        const size_t width = (options_.columns ? options_.columns : 80) - 1;
        line.resize(std::min(line.size(), width));
        const size_t length = line.size();
        line.resize(std::max(length, shown_), ' ');  // over what the line before left
        shown_ = length;
        err_ << "\r" << line << std::flush;
    }

    const RunOptions& options_;
    const Scenario& scenario_;
    const OutputFile* trace_;
    std::ostream& err_;
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point lastShown_ = start_;
    size_t shown_ = 0;  // the characters on the line now
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
        out << fmt::format(
            "Stopped at {} s of game time{}.\n", SecondsText(result.seconds),
            traceFailed ? ": the trace could not be written" : " by " + SignalName(Interrupted));
    const Recording& recording = result.recording;
    out << '\n' << FormatTimeline(recording.rows) << '\n';
    for (const std::string& name : recording.factionNames)
        out << "  " << name << '\n';
    out << '\n' << FormatTotals(recording.totals, result.seconds);
    out << FormatFactionTable(recording);
}

// Writes the pictures' whole set, or leaves the set there was.
void WriteSet(const PictureSet& pictures, const RunOptions& options, RunFiles& files, std::ostream& out) {
    const std::vector<std::string> written = WritePictures(pictures, options.svg);
    files.svg.kept = true;
    Say(out, fmt::format("Pictures: {} ({} files)\n", OneLine(written.back()), written.size()));
}

// Puts each file of the run in place and says so on out or, failing, on err: the status.
int WriteOutputs(const RunOptions& options, const RunInputs& in, const RiotResult& result, RunFiles& files,
                 std::ostream& out, std::ostream& err) {
    int status = 0;
    const auto commit = [&](OutputFile* file, const std::string& said, int failed = 0) {
        try {
            if (file && failed) file->Abandon(failed);
            if (file) file->Commit();
            if (file) Say(out, said);
            return file != nullptr;
        } catch (const std::exception& error) {
            status = Tell(err, RunFailed, error.what());
            return false;
        }
    };
    commit(files.log.get(), fmt::format("The script's log: {}\n", OneLine(options.log)), result.logError);
    commit(files.trace.get(), fmt::format("Trace of every native call: {}\n", OneLine(options.trace)));
    PictureSet pictures{in.scenario.name,      result.recording.factionNames, CullDistance,
                        result.recording.maps, result.recording.chart,        ""};
    if (files.html) {
        const ReplayFacts facts{in.note, in.scenario.name, in.scenario.world.seed, result.seconds,
                                result.frames};
        files.html->Stream() << ReplayHtml(result.recording, facts);
        if (commit(files.html.get(), fmt::format("Replay: {}\n", OneLine(options.html))))
            pictures.replayLink = LinkFrom(options.svg, options.html);
    }
    try {
        if (!options.svg.empty()) WriteSet(pictures, options, files, out);
    } catch (const std::exception& error) {
        status = Tell(err, RunFailed, error.what());
    }
    return status;
}

// What the trace window leaves out, said before the run; a window that holds nothing is refused.
std::string TraceWindowNote(const RunOptions& options, const Scenario& scenario) {
    if ((options.traceFrom || options.traceTo) && options.trace.empty())
        throw CommandError(RunFailed, "--trace-from and --trace-to choose a part of the trace: give --trace");
    const double from = options.traceFrom.value_or(0.0);
    if (options.traceTo && *options.traceTo <= from)
        throw CommandError(RunFailed, options.traceFrom
                                          ? "--trace-from must come before --trace-to"
                                          : fmt::format("--trace-to {} traces nothing: the trace "
                                                        "starts at the run's start (0 s)",
                                                        SecondsText(*options.traceTo)));
    if (!options.traceFrom || from < scenario.seconds) return "";
    return fmt::format("Note: --trace-from {} is past the run's end ({} s): the trace will be empty.\n",
                       SecondsText(from), SecondsText(scenario.seconds));
}

}  // namespace

int RunRiot(const RunOptions& options, std::ostream& out, std::ostream& err) {
    try {
        const SignalsCaught signals(options.interruptible);
        RunInputs in;
        ReadInputs(options, in);
        const std::string traceNote = TraceWindowNote(options, in.scenario);
        RunFiles files;
        OpenOutputs(options, in, files);
        const int64_t frames = FrameCount(in.scenario);
        Say(out, fmt::format("Scenario {}, {}: {} s of game time, {} frame{}, seed {}.\n",
                             OneLine(in.scenario.name), OneLine(in.note), SecondsText(in.scenario.seconds),
                             frames, frames == 1 ? "" : "s", in.scenario.world.seed));
        const ConfigFacts config = CheckConfig(in);
        Say(out, LoadNote(in, config) + UnreachedNote(in.scenario) + traceNote +
                     TraceSizeNote(options, in, config.rioters));
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
        const bool filesFine = status == 0;
        const std::string unwritten = printed.empty() ? Flushed(out) : printed;
        if (!unwritten.empty())
            status = Tell(err, RunFailed, "cannot write the standard output: " + unwritten);
        // A signal's own status, unless a file failed: a standard output that fails then (a terminal
        // closed) does not change it.
        const bool bySignal = result.stoppedEarly && !progress.traceFailed && Interrupted != 0;
        return bySignal && filesFine ? 128 + Interrupted : status;
    } catch (const CommandError& error) {
        return Tell(err, error);
    }
}
