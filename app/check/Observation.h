// One thing the install check found in a game folder or its logs.
#pragma once
#include <string>

enum class Level {
    Problem,  // it stands between the player and the riot
    Fine,     // in order
    Note,     // worth knowing, in the way of nothing
};

struct Observation {
    Level level;
    std::string title;   // a few words: "Skirmora.asi is named Skirmora.asi.txt"
    std::string detail;  // why it matters and what to do; "" when the title says it all
};
