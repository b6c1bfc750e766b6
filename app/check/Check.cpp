#include "app/check/Check.h"

#include <cerrno>
#include <system_error>

#include <fmt/format.h>

#include "app/InputFile.h"
#include "app/TextTools.h"
#include "config/Words.h"

int CheckConfigFile(const std::string& path, std::ostream& out, std::ostream& err, std::istream& in) {
    const std::string name = path == "-" ? "standard input" : OneLine(path);  // a line end in a name too
    std::string bytes;
    const std::string error = ReadInput(path, bytes, &in);
    if (!error.empty()) {
        err << Printable(fmt::format("skirmora-sim: cannot read {}: {}\n", name, error));
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
    if (!CheckLoadBytes(bytes, checked)) return false;
    tell(checked, StatusOf(checked));
    return true;
}

std::string CheckBytes(const std::string& name, const std::string& bytes, int& status) {
    return CheckReport(name, bytes, status);
}
