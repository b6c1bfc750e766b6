#include "app/check/DoctorReport.h"

#include <algorithm>

#include <fmt/format.h>

#include "app/TextTools.h"
#include "app/check/Doctor.h"
#include "config/KeyNames.h"
#include "config/Settings.h"

namespace {

constexpr std::size_t Columns = 110;  // as the check's report

std::string KeyName(int32_t code) {
    for (const auto& entry : KeyNameTable)
        if (entry.second == (code ? code : BuiltInSettings().EnableKey)) return entry.first;
    return "the toggle key";
}

std::string Verdict(const DoctorReportData& d) {
    const auto problems = std::count_if(d.seen.begin(), d.seen.end(),
                                        [](const Observation& o) { return o.level == Level::Problem; });
    if (problems == 0)
        return fmt::format(
            "{}: nothing stands in the way of the riot (exit status {})\n  Start story mode and "
            "press {}.\n",
            d.folder, DoctorSound, KeyName(d.key));
    std::string text = fmt::format(
        "{}: {} in the way of the riot (exit status {})\n", d.folder,
        problems == 1 ? std::string("one thing stands") : fmt::format("{} things stand", problems),
        DoctorProblems);
    for (const Observation& o : d.seen)
        if (o.level == Level::Problem) text += "  - " + o.title + "\n";
    return text;
}

std::string Section(const DoctorReportData& d, Level level, const char* title) {
    std::string text;
    for (const Observation& o : d.seen) {
        if (o.level != level) continue;
        text += "  - " + o.title + (o.detail.empty() ? "" : ". " + o.detail) + "\n";
    }
    return text.empty() ? "" : fmt::format("\n{}\n{}", title, text);
}

}  // namespace

int DoctorReportData::Status() const {
    return std::any_of(seen.begin(), seen.end(),
                       [](const Observation& o) { return o.level == Level::Problem; })
               ? DoctorProblems
               : DoctorSound;
}

std::string WriteDoctorReport(const DoctorReportData& d) {
    std::string text = Verdict(d) + Section(d, Level::Problem, "What to do") +
                       Section(d, Level::Fine, "In order") + Section(d, Level::Note, "Notes");
    if (!d.logs.empty()) text += "\nWhat the game's logs say of its last start\n";
    for (const std::string& line : d.logs)
        text += "  " + line + "\n";
    text = WrapLines(text, Columns);
    if (!d.config.empty()) text += "\n" + d.config;
    return text + "\n" + WrapLines(Verdict(d), Columns);
}
