#include "config/LoadVerdict.h"

#include <algorithm>
#include <sstream>

#include <fmt/format.h>

namespace {

std::string Counted(const CheckedLoad& c, FindingKind kind, const char* one, const char* many) {
    const auto count = std::count_if(c.findings.begin(), c.findings.end(),
                                     [&](const Finding& f) { return f.kind == kind && !f.at.empty(); });
    return count == 0 ? "" : fmt::format("{} {}", count, count == 1 ? one : many);
}

// Where the first finding of a kind is, or "".
std::string First(const CheckedLoad& c, FindingKind kind) {
    for (const Finding& finding : c.findings)
        if (finding.kind == kind) return finding.at;
    return "";
}

}  // namespace

std::string Headline(const CheckedLoad& c, int status) {
    const std::string ended = First(c, FindingKind::Ended), parse = First(c, FindingKind::ParseError);
    if (status == CheckLoadEnded) return "the load ended early" + (ended.empty() ? "" : ", at " + ended);
    if (c.notJson) return "is not JSON text: the game reads no setting from it";
    if (c.empty)
        return "holds no JSON value, only blanks and comments: every setting keeps its built-in value";
    std::string line = status == CheckKeysIgnored ? "loads" : "loads completely, every key applied";
    if (!parse.empty()) line += " after a parse error at " + parse;
    std::string parts =
        Counted(c, FindingKind::ChangedNothing, "key changed nothing", "keys changed nothing");
    const std::string names =
        Counted(c, FindingKind::UnknownName, "name is not the game's", "names are not the game's");
    if (!names.empty()) parts += (parts.empty() ? "" : " and ") + names;
    const std::string thrown = Counted(c, FindingKind::Thrown, "thrown weapon stays in the shared list",
                                       "thrown weapons stay in the shared list");
    if (!thrown.empty()) parts += (parts.empty() ? "" : " and ") + thrown;
    if (!parts.empty()) line += (parse.empty() ? ", but " : ", and ") + parts;
    return line;
}

int StatusOf(const CheckedLoad& c) {
    if (c.Has(FindingKind::Ended)) return CheckLoadEnded;
    return c.Has(FindingKind::ParseError) || c.Has(FindingKind::ChangedNothing) ||
                   c.Has(FindingKind::UnknownName) || c.Has(FindingKind::Thrown)
               ? CheckKeysIgnored
               : CheckLoaded;
}

void WriteFindings(const CheckedLoad& c, FindingKind kind, std::ostream& out) {
    static const char* const titles[] = {"Parse error",
                                         "The load ended early",
                                         "Keys that changed nothing",
                                         "Names the game does not have",
                                         "Thrown weapons left in the shared list",
                                         "Notes"};
    if (!c.Has(kind)) return;
    out << "\n"
        << (c.notJson && kind == FindingKind::ParseError ? "Not JSON" : titles[static_cast<int>(kind)])
        << "\n";
    for (const Finding& finding : c.findings)
        if (finding.kind == kind)
            out << fmt::format("  {}{}\n", finding.at.empty() ? "" : finding.at + ": ", finding.message);
    if (kind == FindingKind::ParseError)
        out << "  The loader applies what it read before this point as if it were the whole file; nothing "
               "after\n"
               "  it is read.\n";
    if (c.namesNoted &&
        kind == (c.Has(FindingKind::UnknownName) ? FindingKind::UnknownName : FindingKind::Note))
        out << "  The game arms nobody with a weapon it does not have, and a model it does not have never "
               "loads: the\n"
               "  faction's rioters then come as random pedestrians, each after a second's wait.\n";
}

void WriteConsequences(const CheckedLoad& checked, std::ostream& out) {
    for (const std::string& line : checked.consequences)
        out << "  " << line << "\n";
}

std::string FindingsText(const CheckedLoad& checked) {
    std::ostringstream out;
    WriteConsequences(checked, out);
    for (FindingKind kind : {FindingKind::ParseError, FindingKind::Ended, FindingKind::ChangedNothing,
                             FindingKind::UnknownName, FindingKind::Thrown, FindingKind::Note})
        WriteFindings(checked, kind, out);
    return out.str();
}
