#include "config/GameNames.h"

#include <cctype>
#include <cstddef>

#include "config/Words.h"

extern const char* const GameWeaponNames[];
extern const std::size_t GameWeaponCount;
extern const char* const GameModelNames[];
extern const std::size_t GameModelCount;

namespace {

struct NameList {
    const char* const* names;  // as the game spells them
    std::size_t count;
};

NameList Names(NameKind kind) {
    return kind == NameKind::Weapon ? NameList{GameWeaponNames, GameWeaponCount}
                                    : NameList{GameModelNames, GameModelCount};
}

// The game's spelling of the name given in lower case, or "".
std::string Find(const NameList& list, const std::string& lower) {
    for (std::size_t k = 0; k < list.count; ++k) {
        const char* name = list.names[k];
        std::size_t j = 0;
        while (name[j] && j < lower.size() &&
               std::tolower(static_cast<unsigned char>(name[j])) == static_cast<unsigned char>(lower[j]))
            ++j;
        if (!name[j] && j == lower.size()) return name;
    }
    return "";
}

}  // namespace

NameVerdict JudgeName(const std::string& name, NameKind kind) {
    const NameList list = Names(kind);
    NameVerdict verdict;
    const std::string lower = Lower(name);
    verdict.known = !Find(list, lower).empty();
    if (verdict.known) return verdict;
    // Blanks around a name, and a weapon without its prefix, are slips however far they are in letters.
    const std::size_t first = lower.find_first_not_of(" \t"), last = lower.find_last_not_of(" \t");
    const std::string trimmed = first == std::string::npos ? "" : lower.substr(first, last - first + 1);
    verdict.nearest = Find(list, trimmed);
    if (verdict.nearest.empty() && kind == NameKind::Weapon)
        verdict.nearest = Find(list, "weapon_" + trimmed);
    if (verdict.nearest.empty())
        verdict.nearest = Suggest(name, list.names, list.count, lower.size() >= 8 ? 2 : 1);
    verdict.likelyTypo = !verdict.nearest.empty();
    return verdict;
}

std::size_t GameNameCount(NameKind kind) {
    return Names(kind).count;
}

const char* GameName(NameKind kind, std::size_t k) {
    return Names(kind).names[k];
}
