// skirmora-sim: runs the script in the simulated game, checks config files, examines a game folder. What a
// double-click, a dropped file or folder and the other habits of Windows mean is decided here.
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <map>

#include <fmt/core.h>
#include <CLI/CLI.hpp>

#include "app/Console.h"
#include "app/PlayerOutput.h"
#include "app/TextTools.h"
#include "app/Utf8Path.h"
#include "app/check/Check.h"
#include "app/check/Doctor.h"
#include "app/run/Run.h"
#include "config/Settings.h"

namespace {

const std::vector<std::string> Commands = {"run", "check", "doctor"};

// "unknown command 'chek': did you mean 'check'? Valid commands: run, check, doctor."
std::string Unknown(const std::string& what, const std::string& given,
                    const std::vector<std::string>& valid) {
    std::string message = "unknown " + what + " '" + given + "'";
    const std::string guess = Suggest(given, valid, std::max<size_t>(2, given.size() / 3));
    message += guess.empty() ? "." : ": did you mean '" + guess + "'?";
    message += " Valid " + what + "s:";
    for (size_t k = 0; k < valid.size(); ++k)
        message += (k ? ", " : " ") + valid[k];
    return message + ".";
}

std::vector<std::string> OptionNames(const CLI::App& command) {
    std::vector<std::string> names;
    for (const CLI::Option* option : command.get_options())
        if (!option->get_lnames().empty()) names.push_back("--" + option->get_lnames().front());
    return names;
}

int Fail(const std::string& message) {
    std::cerr << OneLine("skirmora-sim: " + message)
              << "\nRun skirmora-sim --help for the commands and options.\n";
    return RunFailed;
}

// What each option takes, for a value left out.
const std::map<std::string, std::string> ValueWords = {{"--config", "a file name"},
                                                       {"--scenario", "a file name"},
                                                       {"--trace", "a file name"},
                                                       {"--html", "a file name"},
                                                       {"--log", "a file name"},
                                                       {"--svg", "a folder name"},
                                                       {"--seconds", "a number of seconds"},
                                                       {"--trace-from", "a number of seconds"},
                                                       {"--trace-to", "a number of seconds"},
                                                       {"--seed", "a whole number"}};

// CLI11's words for a value left out or an option given twice, in the program's own.
std::string OwnWords(const CLI::ParseError& error) {
    const std::string what = error.what();
    if (!dynamic_cast<const CLI::ArgumentMismatch*>(&error)) return what;
    const std::string option = what.substr(0, what.find(':'));
    const auto words = ValueWords.find(option);
    if (what.find("missing") != std::string::npos)
        return fmt::format("{} needs {} after it", option,
                           words == ValueWords.end() ? "a value" : words->second);
    return option + " is given more than once: give it once";
}

// A path option: an empty name names no file.
CLI::Option* PathOption(CLI::App& command, const std::string& name, std::string& path,
                        const std::string& help) {
    return command.add_option(name, path, help)
        ->check(CLI::Validator(
            [](const std::string& text) {
                return text.empty() ? std::string("an empty name names no file") : "";
            },
            "PATH"));
}

// A number of seconds from 0 to a game day.
CLI::Validator SecondsCheck(double least) {
    return CLI::Validator(
        [least](const std::string& text) {
            double value = 0.0;
            const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
            const bool whole = error == std::errc() && end == text.data() + text.size() && !text.empty();
            return whole && value >= least && value <= 86400.0
                       ? std::string()
                       : fmt::format("'{}' is not a number of seconds from {} to 86400 (a game day)", text,
                                     least);
        },
        "SECONDS");
}

std::string CurrentFolder() {
    std::error_code error;
    return std::filesystem::current_path(error).u8string();
}

void AddRunOptions(CLI::App& runCommand, RunOptions& run) {
    PathOption(runCommand, "--config", run.config,
               "Config file to play with, - for standard input (default: ./" +
                   std::string(ConfigFileNameBuiltIn) + " when there is one, else the built-in values)");
    PathOption(runCommand, "--scenario", run.scenario,
               "Scenario file, - for standard input (default: the built-in scenario)");
    runCommand
        .add_option("--seconds", run.seconds, "Seconds of game time to play (default: the scenario's, 60)")
        ->check(SecondsCheck(0.001));
    runCommand
        .add_option_function<std::string>(
            "--seed",
            [&run](const std::string& text) {
                uint64_t seed = 0;
                const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seed);
                if (error != std::errc() || end != text.data() + text.size() || text.empty())
                    throw CLI::ValidationError("--seed", "'" + text +
                                                             "' is not a whole number from 0 to "
                                                             "18446744073709551615");
                run.seed = seed;
            },
            "Seed of the world's randomness, 0 to 2^64-1 (default: the scenario's)")
        ->type_name("UINT");
    PathOption(runCommand, "--trace", run.trace, "Write every native call to this file, one line each");
    runCommand.add_option("--trace-from", run.traceFrom, "Trace from this game time on (default: the start)")
        ->check(SecondsCheck(0.0));
    runCommand.add_option("--trace-to", run.traceTo, "Trace up to this game time (default: the end)")
        ->check(SecondsCheck(0.0));
    PathOption(runCommand, "--svg", run.svg, "Write maps, a chart and index.html into this folder");
    PathOption(runCommand, "--html", run.html,
               "Write a page that replays the riot in a browser to this file");
    PathOption(runCommand, "--log", run.log,
               "Write the script's log to this file, as the game writes Skirmora.log");
    runCommand.allow_extras();
}

// Names CLI11 does not know get a clearer message than its own, with the names it does know; "" when the
// first argument is a command or an option of the program's.
std::string UnknownFirst(const std::vector<std::string>& arguments) {
    const std::string first = arguments.size() > 1 ? arguments[1] : "";
    if (first.empty()) return "a command is required: run, check or doctor.";
    if (first[0] == '-' && first != "-h" && first != "--help" && first != "--version")
        return Unknown("option", first, {"--help", "--version"});
    if (first[0] != '-' && std::find(Commands.begin(), Commands.end(), first) == Commands.end())
        return Unknown("command", first, Commands);
    return "";
}

// What the command was given beyond what it takes (an unknown option, a second file), said; "" when nothing.
// operand: the command's file or folder, if it takes one; operands: what came after "--".
std::string Unexpected(CLI::App& command, const CLI::Option* operand,
                       const std::vector<std::string>& operands) {
    if (!command.remaining().empty()) {
        const std::string extra = command.remaining().front();
        if (extra.size() > 1 && extra[0] == '-')
            return Unknown(command.get_name() + " option", extra, OptionNames(command));
        return "unexpected argument '" + extra + "' for " + command.get_name() + ".";
    }
    const bool takesOne = operand && operand->count() == 0;
    if (operands.size() > (takesOne ? 1u : 0u))
        return "unexpected argument '" + operands[takesOne ? 1 : 0] + "' for " + command.get_name() + ".";
    return "";
}

int RunCommandLine(const std::vector<std::string>& arguments, PlayerOutput& player) {
    CLI::App app{
        "Skirmora's simulator: watch a riot play out, check a config file, and find what stands "
        "between you and the riot in the game's folder.",
        "skirmora-sim"};
    app.set_version_flag("--version", std::string("skirmora-sim ") + SKIRMORA_VERSION);
    app.require_subcommand(1);
    RunOptions run;
    CLI::App* runCommand =
        app.add_subcommand(Commands[0], "Play a riot in the simulated game and report what happened");
    AddRunOptions(*runCommand, run);
    std::string checked = ConfigFileNameBuiltIn, examined;
    CLI::App* checkCommand =
        app.add_subcommand(Commands[1], "Load a config file as the game would and explain what each key did");
    CLI::Option* checkedFile = checkCommand->add_option(
        "FILE", checked, "The config file, - for standard input (default: ./" + checked + ")");
    checkCommand->allow_extras();
    CLI::App* doctorCommand = app.add_subcommand(
        Commands[2],
        "Examine a folder as the game's: the game, the hook, its loader, Skirmora, the config, the logs");
    CLI::Option* examinedFolder =
        doctorCommand->add_option("FOLDER", examined, "The game's folder (default: the current folder)");
    doctorCommand->allow_extras();

    const std::string unknown = UnknownFirst(arguments);
    if (!unknown.empty()) return Fail(unknown);
    // "--" ends the options: what follows it is the command's file or folder, even when it starts with "-".
    const auto dashes = std::find(arguments.begin() + 1, arguments.end(), "--");
    const std::vector<std::string> operands(dashes == arguments.end() ? dashes : dashes + 1, arguments.end());
    std::vector<std::string> reversed(std::make_reverse_iterator(dashes), arguments.rend() - 1);
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) return app.exit(error);  // --help, --version
        return Fail(OwnWords(error));
    }
    for (CLI::App* command : {runCommand, checkCommand, doctorCommand}) {
        if (!*command) continue;
        CLI::Option* operand = command == checkCommand    ? checkedFile
                               : command == doctorCommand ? examinedFolder
                                                          : nullptr;
        const std::string extra = Unexpected(*command, operand, operands);
        if (!extra.empty()) return Fail(extra);
        if (!operands.empty()) (command == checkCommand ? checked : examined) = operands.front();
    }
    player.Begin(static_cast<bool>(*checkCommand));
    if (*checkCommand) return player.Show(CheckConfigFile(checked, player.Out(), player.Err()));
    if (*doctorCommand)
        return player.Show(
            ExamineGameFolder(examined.empty() ? CurrentFolder() : examined, player.Out(), player.Err()));
    run.progress = isatty(STDERR_FILENO) != 0;
    run.columns = ErrorColumns();
    run.interruptible = true;
    return RunRiot(run, std::cout, std::cerr);
}

// Files and folders given without a command, as Explorer gives those dropped onto the program: a folder is
// examined as the game's, a file checked as a config, one after another. A name that is not there counts as
// a file when it reads like one (a dot or a folder in it), so that a misspelt file is not taken for a
// command.
bool GivenPaths(const std::vector<std::string>& arguments) {
    if (arguments.size() < 2) return false;
    const std::string& first = arguments[1];
    std::error_code error;
    if (first.empty() || first[0] == '-' ||
        std::find(Commands.begin(), Commands.end(), first) != Commands.end())
        return false;
    return std::filesystem::exists(PathFromUtf8(first), error) ||
           first.find_first_of("./\\:") != std::string::npos;
}

int CheckPaths(const std::vector<std::string>& arguments, PlayerOutput& player) {
    int worst = 0;
    for (std::size_t k = 1; k < arguments.size(); ++k) {
        const std::filesystem::path path = PathFromUtf8(arguments[k]);
        std::error_code error;
        const bool folder = std::filesystem::is_directory(path, error);
        if (k > 1) player.Out() << "\n";
        player.Begin(!folder);
        const int status = folder ? ExamineGameFolder(arguments[k], player.Out(), player.Err())
                                  : CheckConfigFile(arguments[k], player.Out(), player.Err());
        const std::string name = ConfigNameProblem(path.filename().u8string());
        if (!folder && status != CheckCannotRun && !name.empty())
            player.Note(Printable("Note: " + name + "."));
        worst = std::max(worst, status);
    }
    return worst;
}

int Dispatch(const ConsoleSession& console) {
    std::vector<std::string> arguments = console.Arguments();
    PlayerOutput player(console);
#ifdef _WIN32
    // A double-click starts the program without arguments in its own folder: that is examined as the game's.
    if (arguments.size() == 1) {
        player.Begin(false);
        return player.Show(ExamineGameFolder(CurrentFolder(), player.Out(), player.Err()));
    }
#endif
    if (arguments.size() == 2 && (arguments[1] == "/?" || arguments[1] == "-?")) arguments[1] = "--help";
    // "--" first: the files and folders after it are given as dropped, whatever their names.
    if (arguments.size() > 2 && arguments[1] == "--") {
        arguments.erase(arguments.begin() + 1);
        return player.Show(CheckPaths(arguments, player));
    }
    if (GivenPaths(arguments)) return player.Show(CheckPaths(arguments, player));
    return RunCommandLine(arguments, player);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);  // a closed pipe is a write error that every command says, with status 3
#endif
    ConsoleSession console(argc, argv);
    return console.Finish(Dispatch(console));
}
