// What the check says of the game's names is what the simulated game plays: a weapon it does not have arms
// nobody, a model it does not have never loads and its rioters come as random pedestrians.
#include <gtest/gtest.h>

#include "config/CheckReport.h"
#include "config/Jenkins.h"
#include "riot/Roster.h"
#include "tests/support/ScriptRun.h"
#include "tests/support/TempDir.h"

namespace {

struct Case {
    const char* what;
    const char* weapon;
    const char* model;
    bool weaponKnown, modelKnown;  // the game has it
};

// The check's verdict on each name: held against the game's (a finding or a note), or passed.
bool Flagged(const CheckedLoad& c, const std::string& name) {
    for (const Finding& f : c.findings)
        if ((f.kind == FindingKind::UnknownName || f.kind == FindingKind::Note) &&
            f.message.find("\"" + name + "\" ") != std::string::npos)
            return true;
    return false;
}

TEST(CheckAndRun, NamesTheGameLacksPlayAsTheCheckSays) {
    const Case cases[] = {
        {"right", "WEAPON_PISTOL", "g_m_y_ballaorig_01", true, true},
        {"lower case", "weapon_pistol", "G_M_Y_BALLAORIG_01", true, true},
        {"misspelt", "WEAPON_PISTLO", "g_m_y_balaorig_01", false, false},
        {"empty", "", "", false, false},
        {"add-on style", "WEAPON_MYMOD_LASER", "my_addon_gangster", false, false},
    };
    for (const Case& c : cases) {
        const std::string config =
            std::string(R"({"MaxRioters": 6, "Factions": [{"MaxMembers": 6, "Weapons": [")") + c.weapon +
            R"("], "MemberModels": [")" + c.model + R"("]}]})";
        CheckedLoad checked;
        ASSERT_TRUE(CheckLoadBytes(config, checked));
        EXPECT_EQ(Flagged(checked, c.weapon), !c.weaponKnown) << c.what;
        EXPECT_EQ(Flagged(checked, c.model), !c.modelKnown) << c.what;

        TempDir dir;
        dir.WriteConfig(config);
        ScriptRun run;
        run.Frames(10);
        run.Press();
        run.Frames(60 * 8);  // the grace period, recruitment and a few combat passes
        ExpectNoFaults(run.game());
        int rioters = 0, armed = 0, ofModel = 0;
        for (const auto& entry : run.world().peds) {
            const SimPed& ped = entry.second;
            if (ped.group != JenkinsHash("0")) continue;
            ++rioters;
            armed += !ped.weapons.empty();
            ofModel += !ped.random && ped.model == JenkinsHash(c.model);
        }
        ASSERT_GT(rioters, 0) << c.what;
        EXPECT_EQ(armed, c.weaponKnown ? rioters : 0) << c.what;
        EXPECT_EQ(ofModel, c.modelKnown ? rioters : 0) << c.what;
        EXPECT_EQ(run.Count("CreatePed(") > 0, c.modelKnown) << c.what;
    }
}

}  // namespace
