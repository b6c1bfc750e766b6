#include <gtest/gtest.h>

#include "config/KeyNames.h"
#include "config/Settings.h"
#include "config/WeaponLists.h"
#include "script/ScriptState.h"
#include "tests/support/ScriptRun.h"

using Names = std::vector<std::string>;

TEST(Settings, BuiltInValues) {
    ResetScriptState();
    EXPECT_EQ(Settings.ConfigFileName, "Skirmora_config.txt");
    EXPECT_EQ(Settings.MaxRioters, 20);
    EXPECT_EQ(Settings.EnableKey, 118);
    EXPECT_TRUE(Settings.DisableCops);
    EXPECT_EQ(Settings.PedAccuracy, 1.0);
    EXPECT_FALSE(Settings.RiotersOnlyAttackPlayer);
    ASSERT_EQ(SharedWeaponList.size(), 29u);
    EXPECT_EQ(SharedWeaponList.front(), "WEAPON_PISTOL");
    EXPECT_EQ(SharedWeaponList[18], "WEAPON_GRENADELAUNCHER");
    EXPECT_EQ(SharedWeaponList[22], "WEAPON_GRENADE");
    EXPECT_EQ(SharedWeaponList.back(), "WEAPON_HEAVYPISTOL");
    EXPECT_EQ(ThrowableList, (Names{"WEAPON_GRENADE", "WEAPON_STICKYBOMB", "WEAPON_SMOKEGRENADE",
                                    "WEAPON_BZGAS", "WEAPON_MOLOTOV"}));
}

TEST(Settings, RemoveThrowables) {
    struct Case {
        Names before;
        Names after;
    };
    const Case cases[] = {
        {{"WEAPON_MOLOTOV", "WEAPON_MOLOTOV", "WEAPON_SMG", "WEAPON_GRENADE"}, {"WEAPON_SMG"}},
        {{"WEAPON_GRENADE", "WEAPON_STICKYBOMB", "WEAPON_SMOKEGRENADE", "WEAPON_BZGAS", "WEAPON_MOLOTOV"},
         {}},
        {{}, {}},
        {{"weapon_grenade", "WEAPON_GRENADE ", "WEAPON_GRENADELAUNCHER", "WEAPON_GRENAD", " WEAPON_BZGAS"},
         {"weapon_grenade", "WEAPON_GRENADE ", "WEAPON_GRENADELAUNCHER", "WEAPON_GRENAD", " WEAPON_BZGAS"}},
        {{"WEAPON_SMG", "WEAPON_BZGAS", "WEAPON_PISTOL", "WEAPON_BZGAS", "WEAPON_BZGAS", "WEAPON_RPG"},
         {"WEAPON_SMG", "WEAPON_PISTOL", "WEAPON_RPG"}},
    };
    for (const Case& c : cases) {
        Names list = c.before;
        RemoveThrowables(list);
        EXPECT_EQ(list, c.after);
    }
    Names list = BuiltInWeaponList();
    RemoveThrowables(list);
    ASSERT_EQ(list.size(), 24u);
    EXPECT_EQ(Names(list.end() - 3, list.end()),
              (Names{"WEAPON_MINIGUN", "WEAPON_SPECIALCARBINE", "WEAPON_HEAVYPISTOL"}));
}

TEST(Settings, KeyNameLookupIsExact) {
    struct Case {
        const char* name;
        bool found;
        int32_t code;
    };
    const Case cases[] = {
        {"F1", true, 112}, {"F7", true, 118}, {"F8", true, 119}, {"f8", false, 0}, {"F9", false, 0},
        {"", false, 0},    {" F7", false, 0}, {"F7 ", false, 0}, {"F", false, 0},  {"F10", false, 0},
    };
    for (const Case& c : cases) {
        int32_t code = -1;
        EXPECT_EQ(LookupKeyName(c.name, &code), c.found) << c.name;
        EXPECT_EQ(code, c.found ? c.code : -1) << c.name;
    }
    EXPECT_EQ(KeyNameTable.size(), 8u);
}

// Whatever a run leaves in the script's globals (random state, the tick's high part past a wrap, settings,
// factions, status text), the reset puts back: a second run is the first over again, native call for native
// call.
TEST(ScriptState, ARunAfterTheResetRepeatsTheFirst) {
    auto riot = [] {
        ScriptRun run(0xFFFFF000u);
        run.Frames(10);
        run.Press();
        run.Frames(400);
        return run.Events();
    };
    const std::vector<std::string> first = riot();
    ASSERT_GT(first.size(), 1000u);
    EXPECT_EQ(riot(), first);
}
