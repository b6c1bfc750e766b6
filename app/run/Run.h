// skirmora-sim run: plays a riot in the simulated game and reports what happened.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

struct RunOptions {
    std::string config;  // the config file to play with, "-" standard input; empty: ./Skirmora_config.txt if
                         // any, else none
    std::string scenario;  // the scenario file, "-" standard input; empty: the built-in scenario
    std::optional<double> seconds;
    std::optional<uint64_t> seed;
    std::string trace;                         // write every native call here
    std::optional<double> traceFrom, traceTo;  // trace the frames of this part of the run only
    std::string svg;                           // write the pictures into this folder
    std::string html;                          // write the replay page here
    std::string log;                           // where the script writes its log, as the game's Skirmora.log
    bool progress = false;                     // show a progress line (on a terminal)
    std::size_t columns = 0;                   // the terminal's width for the progress line; 0: 80
    bool interruptible = false;  // Ctrl+C, SIGTERM and SIGHUP end the run early, with everything played so
                                 // far reported
};

constexpr int RunFailed = 3;         // a file could not be read or written, or the scenario is broken
constexpr int RunInterrupted = 130;  // Ctrl+C: the shell's status for a command ended by SIGINT

// Returns 0 when the riot played out, RunFailed (after saying why on err), or 128 and the signal's number
// when one stopped it (RunInterrupted for Ctrl+C).
int RunRiot(const RunOptions& options, std::ostream& out, std::ostream& err);
