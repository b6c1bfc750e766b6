// skirmora-sim: runs the script in the simulated game, checks config files.
#include <unistd.h>

#include <csignal>
#include <iostream>

#include <CLI/CLI.hpp>

#include "app/Check.h"
#include "app/Console.h"
#include "app/Run.h"

namespace {
int RunCommand(int argc, char** argv) {
    CLI::App app{"Skirmora's simulator: watch a riot play out and check a config file, without the game.",
                 "skirmora-sim"};
    app.set_version_flag("--version", std::string("skirmora-sim ") + SKIRMORA_VERSION);
    app.require_subcommand(1);

    RunOptions run;
    CLI::App* runCommand =
        app.add_subcommand("run", "Play a riot in the simulated game and report what happened");
    runCommand->add_option("--config", run.config, "Config file to play with (default: the built-in values)")
        ->check(CLI::ExistingFile);
    runCommand->add_option("--scenario", run.scenario, "Scenario file (default: the built-in scenario)")
        ->check(CLI::ExistingFile);
    runCommand
        ->add_option("--seconds", run.seconds, "Seconds of game time to play (default: the scenario's, 60)")
        ->check(CLI::Number)
        ->check(CLI::Range(0.001, 86400.0));
    runCommand->add_option("--seed", run.seed, "Seed of the world's randomness (default: the scenario's)");
    runCommand->add_option("--trace", run.trace, "Write every native call to this file, one line each");
    runCommand->add_option("--svg", run.svg, "Write maps, a chart and index.html into this folder");
    runCommand->add_option("--html", run.html,
                           "Write a page that replays the riot in a browser to this file");

    std::string checked = "Skirmora_config.txt";
    CLI::App* checkCommand =
        app.add_subcommand("check", "Load a config file as the game would and explain what each key did");
    checkCommand->add_option("FILE", checked,
                             "The config file, - for standard input (default: ./Skirmora_config.txt)");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) return app.exit(error);  // --help, --version
        std::cerr << "skirmora-sim: " << error.what()
                  << "\nRun skirmora-sim --help for the commands and options.\n";
        return RunFailed;
    }
    if (*checkCommand) {
#ifdef SIGPIPE
        std::signal(SIGPIPE, SIG_IGN);  // a closed pipe is a write error that the check reports
#endif
        return CheckConfigFile(checked, std::cout, std::cerr);
    }
    run.progress = isatty(STDERR_FILENO) != 0;
    return RunRiot(run, std::cout, std::cerr);
}
}  // namespace

int main(int argc, char** argv) {
    ConsoleSession console(argc, argv);
    if (console.ExplainNothingToCheck(std::cout)) return console.Finish(CheckCannotRun);
    return console.Finish(RunCommand(console.Argc(), console.Argv()));
}
