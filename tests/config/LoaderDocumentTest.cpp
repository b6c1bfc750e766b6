#include "tests/config/LoaderSupport.h"

#include <random>

#include "config/Jenkins.h"
#include "tests/support/ExampleDocument.h"

TEST_F(LoaderTest, TheExampleDocument) {
    Load(ExampleDocument);
    EXPECT_EQ(Settings.EnableKey, 117);
    EXPECT_EQ(Settings.MaxRioters, 30);
    EXPECT_FALSE(Settings.DisableCops);
    EXPECT_EQ(Settings.PedAccuracy, 45.0);
    EXPECT_FALSE(Settings.RiotersOnlyAttackPlayer);
    EXPECT_EQ(SharedWeaponList, (Names{"WEAPON_PISTOL", "WEAPON_SMG", "WEAPON_PUMPSHOTGUN"}));
    ASSERT_EQ(FactionList.size(), 2u);
    const Faction& first = FactionList[0];
    EXPECT_EQ(first.MaxMembers, 12u);
    EXPECT_FALSE(first.WillAttackSelf);
    EXPECT_EQ(first.GroupHash, JenkinsHash("0"));
    EXPECT_EQ(first.Weapons, (Names{"WEAPON_ASSAULTRIFLE", "WEAPON_MOLOTOV"}));
    EXPECT_EQ(first.MemberModels, (Names{"g_m_y_ballaorig_01", "g_m_y_famca_01"}));
    const Faction& second = FactionList[1];
    EXPECT_EQ(second.MaxMembers, 6u);
    EXPECT_TRUE(second.WillAttackSelf);
    EXPECT_EQ(second.GroupHash, 0u);
    EXPECT_TRUE(second.Weapons.empty());
    EXPECT_TRUE(second.MemberModels.empty());
    EXPECT_EQ(GroupCalls(), Names{"+0"});
}

TEST_F(LoaderTest, TextForms) {
    struct Case {
        const char* what;
        std::string text;
        int32_t maxRioters;
        int32_t enableKey;
    };
    const Case cases[] = {
        {"comments", "// players' file\n{ /* cap */ \"MaxRioters\": 9, // after\n \"EnableKey\": \"F2\" }\n",
         9, 113},
        {"CRLF line ends", "{\r\n\"MaxRioters\": 9,\r\n\"EnableKey\": \"F2\"\r\n}\r\n", 9, 113},
        {"byte-order mark", "\xEF\xBB\xBF{\"MaxRioters\": 9, \"EnableKey\": \"F2\"}", 9, 113},
        {"byte-order mark twice", "\xEF\xBB\xBF\xEF\xBB\xBF{\"MaxRioters\": 9}", 20, 118},
        {"mark inside a text",
         "{\"EnableKey\": \"\xEF\xBB\xBF"
         "F2\", \"MaxRioters\": 9}",
         9, 118},
        {"parse error after two keys", "{\"MaxRioters\": 9, \"EnableKey\": \"F2\", \"DisableCops\": fals", 9,
         113},
        {"missing comma", "{\"MaxRioters\": 9 \"EnableKey\": \"F2\"}", 9, 118},
        {"trailing garbage", "{\"MaxRioters\": 9} xyz {", 9, 118},
        {"unterminated text", "{\"MaxRioters\": 9, \"EnableKey\": \"F2", 9, 118},
        {"NUL bytes", std::string("{\"MaxRioters\": 9,\0\0 \"EnableKey\": \"F2\"}", 36), 9, 118},
    };
    for (const Case& c : cases) {
        ResetScriptState();
        Load(c.text);
        EXPECT_EQ(Settings.MaxRioters, c.maxRioters) << c.what;
        EXPECT_EQ(Settings.EnableKey, c.enableKey) << c.what;
        EXPECT_EQ(FactionList.size(), 1u) << c.what;  // each of these ends with the default faction
    }
}

TEST_F(LoaderTest, ParseErrorInsideFactionsAppliesWhatWasRead) {
    Load(R"({"MaxRioters": 4, "Factions": [{"MaxMembers": 2}, {"MaxMembers": 3, "Weapons": ["WEAPON_SMG", )");
    EXPECT_EQ(Settings.MaxRioters, 4);
    ASSERT_EQ(FactionList.size(), 2u);
    EXPECT_EQ(FactionList[1].MaxMembers, 3u);
    // The reader leaves a null entry where the value it could not read would have been.
    EXPECT_EQ(FactionList[1].Weapons, (Names{"WEAPON_SMG", ""}));
}

TEST_F(LoaderTest, EveryLoadRemovesItsGroupsAndCreatesThemAgain) {
    const char* file = R"({"Factions": [{}, {"MaxMembers": 3}]})";
    Load(file);
    Load(file);
    Load(file);
    EXPECT_EQ(GroupCalls(), (Names{"+0", "+1", "-0", "-1", "+0", "+1", "-0", "-1", "+0", "+1"}));
    EXPECT_EQ(run->world().groups.size(), 2u);
}

TEST_F(LoaderTest, GroupNamesCountEveryEntry) {
    Load(R"({"Factions": [{"WillAttackSelf": true}, {}, null]})");
    EXPECT_EQ(GroupCalls(), (Names{"+1", "+2"}));
    ASSERT_EQ(FactionList.size(), 3u);
    EXPECT_EQ(FactionList[2].GroupHash, JenkinsHash("2"));
    EXPECT_EQ(FactionList[2].MaxMembers, 20u);
    Load(R"({})");
    EXPECT_EQ(GroupCalls(), (Names{"+1", "+2", "-1", "-2"}));
}

TEST_F(LoaderTest, AReloadForgetsTheRioterButLeavesTheirPeds) {
    Load(R"({"Factions": [{}, {}]})");
    const Ped a = CreateRandomPed(1.0f, 2.0f, 3.0f);
    const Ped b = CreateRandomPed(4.0f, 5.0f, 6.0f);
    FactionList[0].Members.push_back({a, 0, false});
    FactionList[1].Members.push_back({b, a, true});
    EXPECT_EQ(CountRioters(), 2);
    const size_t calls = run->Events().size();
    Load(R"({"Factions": [{}, {}]})");
    EXPECT_EQ(CountRioters(), 0);
    EXPECT_TRUE(run->world().Exists(a));
    EXPECT_TRUE(run->world().Exists(b));
    const Names events = run->Events();
    for (size_t k = calls; k < events.size(); ++k) {
        EXPECT_TRUE(events[k].rfind("AddRelationshipGroup", 0) == 0 ||
                    events[k].rfind("RemoveRelationshipGroup", 0) == 0)
            << events[k];
    }
    EXPECT_EQ(events.size(), calls + 4);
}

TEST_F(LoaderTest, ArbitraryBytesNeverEscapeTheLoader) {
    std::mt19937 bytes(12345);
    const std::string alphabet = "{}[]\",:0123456789.eE+-truefalsn/* \n\\\xEF\xBB\xBF\x00\xFF";
    for (int k = 0; k < 300; ++k) {
        ResetScriptState();
        std::string text;
        const int length = static_cast<int>(bytes() % 200);
        for (int n = 0; n < length; ++n)
            text += alphabet[bytes() % alphabet.size()];
        if (k % 3 == 0) text = "{\"Factions\": [" + text;
        Load(text);
        Load(R"({"MaxRioters": 3})");  // and the next load works as ever
        ASSERT_EQ(Settings.MaxRioters, 3) << text;
        ASSERT_EQ(FactionList.size(), 1u) << text;
    }
    EXPECT_TRUE(run->game().errors.empty());
}

TEST_F(LoaderTest, ANewToggleKeyTakesEffectAtTheNextPressOfTheOldOne) {
    dir.WriteConfig(R"({"EnableKey": "F5", "RiotersOnlyAttackPlayer": true})");
    Restart();
    Settings.EnableKey = 118;
    run->Frames(3);
    // The start-up load already set F5 and built the default faction before "RIOTER" existed.
    EXPECT_EQ(run->Count("GetAsyncKeyState(116)"), 6);
    ASSERT_EQ(FactionList.size(), 1u);
    EXPECT_EQ(FactionList[0].GroupHash, 0u);
    EXPECT_EQ(RioterGroup, JenkinsHash("RIOTER"));
    dir.WriteConfig(R"({"EnableKey": "F4", "RiotersOnlyAttackPlayer": true})");
    run->Press(1, 118);
    run->Frames(2);
    EXPECT_EQ(run->Count("AddTextComponentString"), 0);
    run->Press(1, 116);
    run->Frames(2);
    EXPECT_EQ(run->Count("AddTextComponentString(\"Skirmora enabled\")"), 2);
    EXPECT_EQ(FactionList[0].GroupHash, RioterGroup);
    run->Frames(1);
    EXPECT_EQ(run->FrameEvents(run->NextFrame() - 1)[1], "GetAsyncKeyState(115) -> 0x00000000");
}
