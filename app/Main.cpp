// skirmora-sim: runs the script in the simulated game, checks config files.
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <csignal>
#include <iostream>

#include <CLI/CLI.hpp>

#include "app/Check.h"
#include "app/Console.h"
#include "app/Run.h"
#include "config/Words.h"

namespace {

// "unknown command 'chek': did you mean 'check'? Valid commands: run, check."
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

int RunCommand(int argc, char** argv) {
    CLI::App app{"Skirmora's simulator: watch a riot play out and check a config file, without the game.",
                 "skirmora-sim"};
    app.set_version_flag("--version", std::string("skirmora-sim ") + SKIRMORA_VERSION);
    app.require_subcommand(1);

    RunOptions run;
    CLI::App* runCommand =
        app.add_subcommand("run", "Play a riot in the simulated game and report what happened");
    runCommand
        ->add_option("--config", run.config,
                     "Config file to play with (default: ./Skirmora_config.txt when there is one, else the "
                     "built-in values)")
        ->check(CLI::ExistingFile);
    runCommand->add_option("--scenario", run.scenario, "Scenario file (default: the built-in scenario)")
        ->check(CLI::ExistingFile);
    runCommand
        ->add_option("--seconds", run.seconds, "Seconds of game time to play (default: the scenario's, 60)")
        ->check(CLI::Validator(
            [](const std::string& text) {
                double value = 0.0;
                const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
                const bool whole = error == std::errc() && end == text.data() + text.size();
                return whole && value >= 0.001 && value <= 86400.0
                           ? std::string()
                           : "'" + text + "' is not a number of seconds from 0.001 to 86400 (a game day)";
            },
            "SECONDS"));
    runCommand
        ->add_option_function<std::string>(
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
    runCommand->add_option("--trace", run.trace, "Write every native call to this file, one line each");
    runCommand->add_option("--svg", run.svg, "Write maps, a chart and index.html into this folder");
    runCommand->add_option("--html", run.html,
                           "Write a page that replays the riot in a browser to this file");
    runCommand->add_option("--log", run.log,
                           "Write the script's log to this file, as the game writes Skirmora.log");
    runCommand->allow_extras();

    std::string checked = "Skirmora_config.txt";
    CLI::App* checkCommand =
        app.add_subcommand("check", "Load a config file as the game would and explain what each key did");
    checkCommand->add_option("FILE", checked,
                             "The config file, - for standard input (default: ./Skirmora_config.txt)");
    checkCommand->allow_extras();

    const auto fail = [](const std::string& message) {
        std::cerr << "skirmora-sim: " << message
                  << "\nRun skirmora-sim --help for the commands and options.\n";
        return RunFailed;
    };
    // Names CLI11 does not know get a clearer message than its own, with the names it does know.
    const std::vector<std::string> commands = {runCommand->get_name(), checkCommand->get_name()};
    const std::string first = argc > 1 ? argv[1] : "";
    if (first.empty()) return fail("a command is required: " + commands[0] + " or " + commands[1] + ".");
    if (first[0] != '-' && std::find(commands.begin(), commands.end(), first) == commands.end())
        return fail(Unknown("command", first, commands));
    if (first[0] == '-' && first != "-h" && first != "--help" && first != "--version")
        return fail(Unknown("option", first, {"--help", "--version"}));
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) return app.exit(error);  // --help, --version
        return fail(error.what());
    }
    for (const CLI::App* command : {runCommand, checkCommand}) {
        if (!*command || command->remaining().empty()) continue;
        const std::string extra = command->remaining().front();
        if (extra.size() > 1 && extra[0] == '-')
            return fail(Unknown(command->get_name() + " option", extra, OptionNames(*command)));
        return fail("unexpected argument '" + extra + "' for " + command->get_name() + ".");
    }
    if (*checkCommand) {
#ifdef SIGPIPE
        std::signal(SIGPIPE, SIG_IGN);  // a closed pipe is a write error that the check reports
#endif
        return CheckConfigFile(checked, std::cout, std::cerr);
    }
    run.progress = isatty(STDERR_FILENO) != 0;
    run.interruptible = true;
    return RunRiot(run, std::cout, std::cerr);
}
}  // namespace

int main(int argc, char** argv) {
    ConsoleSession console(argc, argv);
    if (console.ExplainNothingToCheck(std::cout)) return console.Finish(CheckCannotRun);
    return console.Finish(RunCommand(console.Argc(), console.Argv()));
}
