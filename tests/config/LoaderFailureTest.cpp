#include "riot/RiotState.h"
#include "tests/config/LoaderSupport.h"

namespace {

// A good file loaded first, so that each failure shows what it keeps of an earlier load.
const char* Earlier = R"({"MaxRioters": 7, "Factions": [{"MaxMembers": 1}, {"MaxMembers": 2}]})";

std::string Nested(int levels) {
    // levels counts every value, the top-level object included.
    std::string text = R"({"MaxRioters": 5, "Deep": )";
    for (int k = 1; k < levels; ++k)
        text += '[';
    for (int k = 1; k < levels; ++k)
        text += ']';
    return text + "}";
}

Names Caps() {
    Names caps;
    for (const Faction& f : Riot().FactionList)
        caps.push_back(std::to_string(f.MaxMembers));
    return caps;
}

}  // namespace

TEST_F(LoaderTest, WhereALoadEndsAndWhatItKeeps) {
    struct Case {
        const char* what;
        std::string document;
        int32_t maxRioters;  // after the failed load
        int32_t enableKey;
        Names weapons;     // "*" = the built-in list without the thrown weapons
        Names caps;        // MaxMembers of the factions left
        Names groupCalls;  // group calls of the failed load
    };
    const Names kept = {"*"};
    const Case cases[] = {
        {"nested too deeply", Nested(1001), 7, 118, kept, {"1", "2"}, {}},
        {"top-level array", R"([{"MaxRioters": 3}])", 7, 118, kept, {"1", "2"}, {}},
        {"top-level text", R"("MaxRioters")", 7, 118, kept, {"1", "2"}, {}},
        {"top-level number", "12", 7, 118, kept, {"1", "2"}, {}},
        {"top-level boolean", "true", 7, 118, kept, {"1", "2"}, {}},
        {"EnableKey array", R"({"EnableKey": ["F6"], "MaxRioters": 3})", 7, 118, kept, {"1", "2"}, {}},
        {"EnableKey object", R"({"EnableKey": {}, "MaxRioters": 3})", 7, 118, kept, {"1", "2"}, {}},
        {"weapon entry array",
         R"({"EnableKey": "F3", "MaxRioters": 3, "PedWeapons": ["A", ["B"], "C"]})",
         3,
         114,
         {"A"},
         {"1", "2"},
         {}},
        {"weapon entry object",
         R"({"WeaponsUsedByAllFactions": [{}], "DisableCops": false})",
         7,
         118,
         {},
         {"1", "2"},
         {}},
        {"RiotersOnlyAttackPlayer text",
         R"({"MaxRioters": 3, "PedWeapons": ["WEAPON_BZGAS"],
                                           "RiotersOnlyAttackPlayer": "yes", "Factions": []})",
         3,
         118,
         {"WEAPON_BZGAS"},
         {"1", "2"},
         {}},
        {"RiotersOnlyAttackPlayer array", R"({"RiotersOnlyAttackPlayer": []})", 7, 118, kept, {"1", "2"}, {}},
        {"faction entry number",
         R"({"Factions": [{"MaxMembers": 4}, 5, {}]})",
         7,
         118,
         kept,
         {"4"},
         {"-0", "-1", "+0"}},
        {"faction entry array first", R"({"Factions": [[]]})", 7, 118, kept, {}, {"-0", "-1"}},
        {"faction entry text", R"({"Factions": ["x"]})", 7, 118, kept, {}, {"-0", "-1"}},
        {"MaxMembers text", R"({"Factions": [{"MaxMembers": "4"}]})", 7, 118, kept, {}, {"-0", "-1"}},
        {"MaxMembers array", R"({"Factions": [{"MaxMembers": [4]}]})", 7, 118, kept, {}, {"-0", "-1"}},
        {"MaxMembers above range",
         R"({"Factions": [{}, {"MaxMembers": 2147483648}]})",
         7,
         118,
         kept,
         {"20"},
         {"-0", "-1", "+0"}},
        {"MaxMembers below range",
         R"({"Factions": [{"MaxMembers": -2147483649}]})",
         7,
         118,
         kept,
         {},
         {"-0", "-1"}},
        {"MaxMembers 1e300", R"({"Factions": [{"MaxMembers": 1e300}]})", 7, 118, kept, {}, {"-0", "-1"}},
        {"WillAttackSelf text",
         R"({"Factions": [{"WillAttackSelf": "yes"}]})",
         7,
         118,
         kept,
         {},
         {"-0", "-1"}},
        {"WillAttackSelf object",
         R"({"Factions": [{"WillAttackSelf": {}}]})",
         7,
         118,
         kept,
         {},
         {"-0", "-1"}},
        {"faction weapon entry array",
         R"({"Factions": [{"MaxMembers": 3}, {"Weapons": ["A", []]}]})",
         7,
         118,
         kept,
         {"3"},
         {"-0", "-1", "+0", "+1"}},
    };
    for (const Case& c : cases) {
        Restart();
        Load(Earlier);
        const size_t before = run->Events().size();
        Load(c.document);
        Names weapons = c.weapons == kept ? BuiltInWithoutThrowables() : c.weapons;
        EXPECT_EQ(Riot().Settings.MaxRioters, c.maxRioters) << c.what;
        EXPECT_EQ(Riot().Settings.EnableKey, c.enableKey) << c.what;
        EXPECT_EQ(Riot().SharedWeaponList, weapons) << c.what;
        EXPECT_EQ(Caps(), c.caps) << c.what;
        for (const Faction& f : Riot().FactionList)
            EXPECT_FALSE(f.IsDefault) << c.what;
        Names calls = GroupCalls();
        calls.erase(calls.begin(), calls.begin() + 2);  // the earlier load's "+0", "+1"
        EXPECT_EQ(calls, c.groupCalls) << c.what;
        EXPECT_GE(run->Events().size(), before);
    }
}

TEST_F(LoaderTest, AFailedFactionWeaponListLeavesItsGroupBehindForGood) {
    Load(R"({"Factions": [{"Weapons": [{}]}]})");
    EXPECT_TRUE(Riot().FactionList.empty());
    Load(R"({"Factions": [{}]})");
    EXPECT_EQ(GroupCalls(), (Names{"+0", "+0"}));  // the first "0" is never removed
}

TEST_F(LoaderTest, AFailedModelListKeepsTheFactionWithTheModelsBeforeIt) {
    Load(R"({"PedWeapons": ["WEAPON_GRENADE", "WEAPON_SMG"],
            "Factions": [{"MemberModels": ["m1", "m2", {"x": 1}, "m3"]}, {}]})");
    ASSERT_EQ(Riot().FactionList.size(), 1u);
    EXPECT_EQ(Riot().FactionList[0].MemberModels, (Names{"m1", "m2"}));
    EXPECT_EQ(Riot().SharedWeaponList,
              (Names{"WEAPON_GRENADE", "WEAPON_SMG"}));  // the load never got to remove it
    Load(R"({})");
    EXPECT_EQ(GroupCalls(), (Names{"+0", "-0"}));
}

TEST_F(LoaderTest, NestingDepthLimit) {
    for (int levels : {999, 1000, 1001, 5000}) {
        ResetScriptState();
        Load(Nested(levels));
        EXPECT_EQ(Riot().Settings.MaxRioters, levels <= 1000 ? 5 : 20) << levels;
        EXPECT_EQ(Riot().FactionList.size(), levels <= 1000 ? 1u : 0u) << levels;
    }
}

TEST_F(LoaderTest, UnreadableFilesCountAsEmpty) {
    struct Case {
        const char* what;
        std::function<void(const TempDir&)> make;
    };
    const Case cases[] = {
        {"no file", [](const TempDir&) {}},
        {"empty file", [](const TempDir& d) { d.WriteConfig(""); }},
        {"only a comment", [](const TempDir& d) { d.WriteConfig("// nothing here\n/* or here */"); }},
        {"only blanks", [](const TempDir& d) { d.WriteConfig(" \r\n\t\n"); }},
        {"a directory",
         [](const TempDir& d) { std::filesystem::create_directory(d.Path() + "/Skirmora_config.txt"); }},
    };
    for (const Case& c : cases) {
        ResetScriptState();
        TempDir fresh;
        c.make(fresh);
        LoadConfig();
        EXPECT_EQ(Riot().Settings.MaxRioters, 20) << c.what;
        EXPECT_EQ(Riot().SharedWeaponList, BuiltInWithoutThrowables()) << c.what;
        ASSERT_EQ(Riot().FactionList.size(), 1u) << c.what;
        EXPECT_TRUE(Riot().FactionList[0].IsDefault) << c.what;
        EXPECT_EQ(Riot().FactionList[0].MaxMembers, 20u) << c.what;
        EXPECT_TRUE(Riot().FactionList[0].WillAttackSelf) << c.what;
    }
}
