// skirmora-sim: runs the script in the simulated game, checks config files.
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <iostream>

#include <CLI/CLI.hpp>

#include "app/Check.h"
#include "app/Run.h"

namespace {

// Edit distance, for "did you mean".
size_t Distance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// "unknown command 'chek': did you mean 'check'? Valid commands: run, check."
std::string Unknown(const std::string& what, const std::string& given,
                    const std::vector<std::string>& valid) {
    std::string message = "unknown " + what + " '" + given + "'";
    const std::string* closest = nullptr;
    for (const std::string& name : valid)
        if (!closest || Distance(given, name) < Distance(given, *closest)) closest = &name;
    if (closest && Distance(given, *closest) <= std::max<size_t>(2, closest->size() / 3))
        message += ": did you mean '" + *closest + "'?";
    else
        message += ".";
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

}  // namespace

int main(int argc, char** argv) {
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
    runCommand->allow_extras();

    std::string checked = "Skirmora_config.txt";
    CLI::App* checkCommand =
        app.add_subcommand("check", "Load a config file as the game would and explain what each key did");
    checkCommand->add_option("FILE", checked, "The config file (default: ./Skirmora_config.txt)");
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
    if (*checkCommand) return CheckConfigFile(checked, std::cout, std::cerr);
    run.progress = isatty(STDERR_FILENO) != 0;
    run.interruptible = true;
    return RunRiot(run, std::cout, std::cerr);
}
