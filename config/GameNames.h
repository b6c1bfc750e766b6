// The base game's weapon names and ped model names (config/GameNames.txt, built in), and how near a name from
// a config file comes to one of them.
#pragma once
#include <cstddef>
#include <string>

enum class NameKind { Weapon, Model };

struct NameVerdict {
    bool known = false;       // the game has it (letters compare without regard to case, as its hash does)
    bool likelyTypo = false;  // unknown, but a slip away from nearest
    std::string nearest;      // the game's name it most likely meant; "" when none is close
};

NameVerdict JudgeName(const std::string& name, NameKind kind);

// The game's names of a kind, as it spells them.
std::size_t GameNameCount(NameKind kind);
const char* GameName(NameKind kind, std::size_t k);
