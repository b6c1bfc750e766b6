#include "app/GameNames.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <sstream>
#include <vector>

#include "app/TextTools.h"

extern const char* const GameNamesText;

namespace {

struct NameList {
    std::vector<std::string> names;  // as the game spells them
    std::vector<std::string> lower;
};

const NameList& Names(NameKind kind) {
    static const auto lists = [] {
        std::map<NameKind, NameList> read;
        std::istringstream text(GameNamesText);
        NameList* list = nullptr;
        for (std::string line; std::getline(text, line);) {
            if (line == "[weapons]") list = &read[NameKind::Weapon];
            if (line == "[models]") list = &read[NameKind::Model];
            if (!list || line.empty() || line[0] == '#' || line[0] == '[') continue;
            list->names.push_back(line);
            list->lower.push_back(Lower(line));
        }
        return read;
    }();
    return lists.at(kind);
}

NameVerdict Judge(const std::string& name, NameKind kind) {
    const NameList& list = Names(kind);
    NameVerdict verdict;
    const std::string lower = Lower(name);
    auto find = [&](const std::string& wanted) {
        const auto at = std::find(list.lower.begin(), list.lower.end(), wanted);
        return at == list.lower.end() ? std::string()
                                      : list.names[static_cast<std::size_t>(at - list.lower.begin())];
    };
    verdict.known = !find(lower).empty();
    if (verdict.known) return verdict;
    // Blanks around a name, and a weapon without its prefix, are slips however far they are in letters.
    const std::size_t first = lower.find_first_not_of(" \t"), last = lower.find_last_not_of(" \t");
    const std::string trimmed = first == std::string::npos ? "" : lower.substr(first, last - first + 1);
    verdict.nearest = find(trimmed);
    if (verdict.nearest.empty() && kind == NameKind::Weapon) verdict.nearest = find("weapon_" + trimmed);
    if (verdict.nearest.empty()) verdict.nearest = Suggest(name, list.names, lower.size() >= 8 ? 2 : 1);
    verdict.likelyTypo = !verdict.nearest.empty();
    return verdict;
}

}  // namespace

NameVerdict JudgeName(const std::string& name, NameKind kind) {
    // A large file names the same few models thousands of times.
    static std::map<std::pair<NameKind, std::string>, NameVerdict> judged;
    const auto key = std::make_pair(kind, name);
    const auto found = judged.find(key);
    if (found != judged.end()) return found->second;
    return judged[key] = Judge(name, kind);
}
