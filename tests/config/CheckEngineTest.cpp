// The check's engine on its own, with no game: what its report says the game will do.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/CheckReport.h"
#include "config/LoadVerdict.h"

namespace {

std::string Factions(int count) {
    std::string text = R"({"MaxRioters": 5000, "Factions": [)";
    for (int k = 0; k < count; ++k)
        text += k ? R"(, {"MaxMembers": 1})" : R"({"MaxMembers": 1})";
    return text + "]}";
}

TEST(CheckEngine, TellsTheStoryTheGamePlays) {
    struct Case {
        const char* what;
        std::string config;
        int status;
        std::vector<std::string> says, never;
    };
    const std::vector<Case> cases = {
        {"only the player",
         R"({"RiotersOnlyAttackPlayer": true, "Factions": [{}, {"WillAttackSelf": true}]})",
         CheckLoaded,
         {R"(Factions[0] (line 1): cap 20, its rioters join "RIOTER" (0x464A0970) and fight only the player)",
          R"(Factions[1] (line 1): cap 20, its rioters join "RIOTER")"},
         {"fights the other factions", "attacks its own"}},
        {"a thrown weapon in lower case",
         R"({"WeaponsUsedByAllFactions": ["weapon_molotov", "WEAPON_GRENADE", "WEAPON_PISTOL"]})",
         CheckKeysIgnored,
         {"loads, but 1 thrown weapon stays in the shared list", "weapon_molotov, WEAPON_PISTOL",
          R"(the load takes it out only when written exactly "WEAPON_MOLOTOV")"},
         {}},
        {"a faction's thrown weapon is its own",
         R"({"Factions": [{"Weapons": ["weapon_molotov"]}]})",
         CheckLoaded,
         {},
         {"stays in the shared list"}},
        {"too deep for the reader",
         R"({"MaxRioters": 5, "EnableKey": "F6", "Factions": )" + std::string(1200, '[') +
             std::string(1200, ']') + "}",
         CheckLoadEnded,
         {"Nothing of the file is applied", "MaxRioters               20                     built-in"},
         {"What was read before it is applied", "Read before the end"}},
        {"no faction left",
         R"({"Factions": [{"MaxMembers": "10"}]})",
         CheckLoadEnded,
         {"(exit status 2)\n  Nobody will be recruited: the load leaves no faction in force.\n"},
         {}},
        {"no rioter allowed",
         R"({"MaxRioters": 0})",
         CheckLoaded,
         {"(exit status 0)\n  Nobody will be recruited: MaxRioters is 0.\n"},
         {}},
        {"many factions",
         Factions(1500),
         CheckLoaded,
         {"1500 factions cost the game's frames", "about 22 ms of the script's time per game second"},
         {}},
        {"a key named \"\"",
         R"({"": [{"MaxMembers": 1}], "MaxRioters": 5})",
         CheckKeysIgnored,
         {"unknown key \"\"", "MaxRioters               5 "},
         {}},
        {"a schema for editors",
         R"({"$schema": "./Skirmora_config.schema.json"})",
         CheckLoaded,
         {},
         {"$schema"}},
    };
    for (const Case& c : cases) {
        for (int again = 0; again < 2; ++again) {  // the check keeps nothing between two runs
            int status = -1;
            const std::string report = CheckReport("c.txt", c.config, status);
            EXPECT_EQ(status, c.status) << c.what << "\n" << report;
            for (const std::string& text : c.says)
                EXPECT_NE(report.find(text), std::string::npos) << c.what << ": no " << text << " in\n"
                                                                << report;
            for (const std::string& text : c.never)
                EXPECT_EQ(report.find(text), std::string::npos) << c.what << ": " << text << " in\n"
                                                                << report;
        }
    }
}

}  // namespace
