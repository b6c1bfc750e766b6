#include "app/check/Check.h"

#include <cerrno>
#include <system_error>

#include <fmt/format.h>

#include "app/InputFile.h"
#include "app/TextTools.h"
#include "config/LoadCheck.h"
#include "config/Words.h"
#include "host/Natives.h"
#include "script/ScriptMain.h"
#include "script/ScriptState.h"
#include "sim/Simulation.h"

int CheckConfigFile(const std::string& path, std::ostream& out, std::ostream& err, std::istream& in) {
    const std::string name = path == "-" ? "standard input" : OneLine(path);  // a line end in a name too
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
    return WriteReport(Printable(report), out, err) ? status : CheckCannotRun;
}

bool WriteReport(const std::string& text, std::ostream& out, std::ostream& err) {
    errno = 0;
    out << text << std::flush;
    if (!out)
        err << fmt::format("skirmora-sim: cannot write the report: {}\n",
                           errno ? std::generic_category().message(errno) : "the output is closed");
    return static_cast<bool>(out);
}

std::string WithoutExitStatus(std::string text) {
    const std::string words = " (exit status ";
    for (std::size_t at = text.find(words); at != std::string::npos; at = text.find(words, at)) {
        const std::size_t digits = text.find_first_not_of("0123456789", at + words.size());
        if (digits != std::string::npos && digits > at + words.size() && text[digits] == ')')
            text.erase(at, digits + 1 - at);
        else
            ++at;
    }
    return text;
}

bool CheckInFreshGame(const std::string& bytes, const std::function<void(const CheckedLoad&, int)>& tell) {
    CheckedLoad checked;
    bool followed = false;
    ResetScriptState();
    {
        // A fresh game, as at a press of the toggle key: "RIOTER" exists, no faction yet. The loader runs to
        // completion without waiting, so it can be called right here rather than on the script's fibre.
        Simulation sim;
        sim.game.BeginFrame();
        AddRelationshipGroup("RIOTER", &RioterGroup);
        checked.groups[RioterGroup] = "RIOTER";
        followed = CheckLoadOf(bytes, checked);
        if (followed) tell(checked, StatusOf(checked));
    }
    ResetScriptState();
    return followed;
}

std::string CheckBytes(const std::string& name, const std::string& bytes, int& status) {
    std::string report;
    status = CheckCannotRun;
    CheckInFreshGame(bytes, [&](const CheckedLoad& checked, int loaded) {
        status = loaded;
        report = ReportOf(name, checked, loaded);
    });
    return report;
}
