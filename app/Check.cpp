#include "app/Check.h"

#include <cerrno>
#include <system_error>

#include <fmt/format.h>

#include "app/InputFile.h"
#include "config/LoadCheck.h"
#include "config/Words.h"
#include "host/Natives.h"
#include "script/ScriptMain.h"
#include "script/ScriptState.h"
#include "sim/Simulation.h"

int CheckConfigFile(const std::string& path, std::ostream& out, std::ostream& err, std::istream& in) {
    const std::string name = path == "-" ? "standard input" : path;
    // The check needs a fresh simulated game of its own.
    const bool running = CurrentGame() != nullptr;
    std::string bytes;
    const std::string error =
        running ? "a simulated game is already running in this process" : ReadInput(path, bytes, &in);
    if (!error.empty()) {
        err << Printable(
            fmt::format("skirmora-sim: cannot {} {}: {}\n", running ? "check" : "read", name, error));
        return CheckCannotRun;
    }
    int status = CheckLoaded;
    const std::string report = CheckBytes(name, bytes, status);
    if (status == CheckCannotRun) {
        err << Printable(fmt::format("skirmora-sim: cannot check {}: the check ran out of memory\n", name));
        return CheckCannotRun;
    }
    errno = 0;
    out << Printable(report) << std::flush;
    if (!out) {
        err << fmt::format("skirmora-sim: cannot write the report: {}\n",
                           errno ? std::generic_category().message(errno) : "the output is closed");
        return CheckCannotRun;
    }
    return status;
}

std::string CheckBytes(const std::string& name, const std::string& bytes, int& status) {
    CheckedLoad checked;
    std::string report;
    ResetScriptState();
    {
        // A fresh game, as at a press of the toggle key: "RIOTER" exists, no faction yet. The loader runs to
        // completion without waiting, so it can be called right here rather than on the script's fibre.
        Simulation sim;
        sim.game.BeginFrame();
        AddRelationshipGroup("RIOTER", &RioterGroup);
        checked.groups[RioterGroup] = "RIOTER";
        const bool followed = CheckLoadOf(bytes, checked);
        status = followed ? StatusOf(checked) : CheckCannotRun;
        if (followed) report = ReportOf(name, checked, status);
    }
    ResetScriptState();
    return report;
}
