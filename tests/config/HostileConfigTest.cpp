// Config files a player should never write, each with the exact outcome of its load.

#include "riot/RiotState.h"
#include "tests/config/LoaderSupport.h"

namespace {
// Whether a load that started from an empty faction list and a lone thrown weapon completed: only a completed
// load both rebuilds the factions and removes the thrown weapons.
bool Completed() {
    for (const std::string& name : Riot().SharedWeaponList)
        if (name == "WEAPON_GRENADE") return false;
    return !Riot().FactionList.empty();
}
void PrepareForCompletedCheck() {
    Riot().SharedWeaponList = {"WEAPON_GRENADE"};
}
}  // namespace

TEST_F(LoaderTest, EveryKeyWithEveryKind) {
    const char* kinds[] = {"null",      "true", "false",    "0",    "-1", "1.5",        "1e300",
                           R"("text")", "[]",   R"(["x"])", "[[]]", "{}", R"({"a": 1})"};
    // For each key, per kind in the order above: c = the load completes, e = it ends early.
    struct Row {
        const char* key;
        bool inFaction;
        const char* outcomes;
    };
    const Row rows[] = {
        {"EnableKey", false, "cccccccceeeee"},
        {"MaxRioters", false, "ccccccccccccc"},
        {"WeaponsUsedByAllFactions", false, "ccccccccccecc"},
        {"PedWeapons", false, "ccccccccccecc"},
        {"DisableCops", false, "ccccccccccccc"},
        {"PedAccuracy", false, "ccccccccccccc"},
        {"RiotersOnlyAttackPlayer", false, "ccccccceeeeee"},
        {"Factions", false, "ccccccccceecc"},
        {"MaxMembers", true, "cccccceeeeeee"},
        {"WillAttackSelf", true, "ccccccceeeeee"},
        {"Weapons", true, "ccccccccccecc"},
        {"MemberModels", true, "ccccccccccecc"},
        {"Unknown", true, "ccccccccccccc"},
    };
    for (const Row& row : rows) {
        for (size_t k = 0; k < sizeof kinds / sizeof kinds[0]; ++k) {
            ResetScriptState();
            PrepareForCompletedCheck();
            const std::string member = std::string("\"") + row.key + "\": " + kinds[k];
            const std::string document =
                row.inFaction ? R"({"Factions": [{)" + member + "}]}" : "{" + member + "}";
            Load(document);
            EXPECT_EQ(Completed(), row.outcomes[k] == 'c') << document;
        }
    }
}

TEST_F(LoaderTest, ExtremeNumbersInEveryNumericKey) {
    struct Case {
        const char* number;
        int32_t maxRioters;
        double accuracy;
        bool parsed;  // false: the reader stops at the number, so the keys after it are never read
    };
    const Case cases[] = {
        {"1e400", 20, 1.0, false},
        {"-1e400", 20, 1.0, false},
        {"-0", 0, 0.0, true},
        {"1e300", 20, 1e300, true},
        {"1e-400", 0, 0.0, true},
        {"-1e-400", 0, 0.0, true},
        {"99999999999999999999999", 20, 1e23, true},
        {"0.9999999999999999999", 1, 1.0, true},  // reads as exactly 1.0
    };
    for (const Case& c : cases) {
        ResetScriptState();
        const std::string n = c.number;
        Load(R"({"MaxRioters": )" + n + R"(, "PedAccuracy": )" + n + R"(, "EnableKey": "F2"})");
        EXPECT_EQ(Riot().Settings.MaxRioters, c.parsed ? c.maxRioters : 20) << n;
        EXPECT_EQ(Riot().Settings.PedAccuracy, c.parsed ? c.accuracy : 1.0) << n;
        EXPECT_EQ(Riot().Settings.EnableKey, c.parsed ? 113 : 118) << n;
        ResetScriptState();
        PrepareForCompletedCheck();
        Load(R"({"Factions": [{"MaxMembers": )" + n + R"(, "WillAttackSelf": )" + n + "}]}");
        // A number the reader cannot hold ends parsing: the entry is an empty object then.
        const bool fitsMaxMembers = c.parsed && c.maxRioters != 20;
        EXPECT_EQ(Completed(), fitsMaxMembers || !c.parsed) << n;
    }
    // Signed zero and values that underflow are zero for every key.
    ResetScriptState();
    Load(R"({"Factions": [{"MaxMembers": -0, "WillAttackSelf": 1e-400}], "RiotersOnlyAttackPlayer": -0.0})");
    ASSERT_EQ(Riot().FactionList.size(), 1u);
    EXPECT_EQ(Riot().FactionList[0].MaxMembers, 0u);
    EXPECT_FALSE(Riot().FactionList[0].WillAttackSelf);
    EXPECT_FALSE(Riot().Settings.RiotersOnlyAttackPlayer);
}

TEST_F(LoaderTest, NulBytesAndInvalidUtf8AreJustBytes) {
    const std::string document(
        "{\"PedWeapons\": [\"WEAPON_\xC3\x28\", \"\xFF\xFE\", \"A\\u0000B\"],"
        " \"EnableKey\": \"F\xFF\", \"MaxRioters\": 4}\0\0\0 trailing",
        92);
    Load(document);
    EXPECT_EQ(Riot().Settings.MaxRioters, 4);
    EXPECT_EQ(Riot().Settings.EnableKey, 118);
    ASSERT_EQ(Riot().SharedWeaponList.size(), 3u);
    EXPECT_EQ(Riot().SharedWeaponList[0], "WEAPON_\xC3\x28");
    EXPECT_EQ(Riot().SharedWeaponList[1], "\xFF\xFE");
    EXPECT_EQ(Riot().SharedWeaponList[2], std::string("A\0B", 3));

    ResetScriptState();
    Load(std::string("\0{\"MaxRioters\": 4}", 18));  // a NUL before the document: nothing parses
    EXPECT_EQ(Riot().Settings.MaxRioters, 20);
    EXPECT_TRUE(Completed());
}

TEST_F(LoaderTest, AFiftyMegabyteFileLoads) {
    std::string document = R"({"Padding": ")";
    document.append(50u << 20, 'x');
    document += R"(", "Factions": [{"MaxMembers": 3}], "MaxRioters": 9})";
    Load(document);
    EXPECT_EQ(Riot().Settings.MaxRioters, 9);
    ASSERT_EQ(Riot().FactionList.size(), 1u);
    EXPECT_EQ(Riot().FactionList[0].MaxMembers, 3u);
}

TEST_F(LoaderTest, AHundredThousandFactions) {
    std::string document = R"({"Factions": [)";
    for (int k = 0; k < 100000; ++k)
        document += k ? ",{}" : "{}";
    document += "]}";
    Load(document);
    EXPECT_EQ(Riot().FactionList.size(), 100000u);
    EXPECT_EQ(Riot().FactionList.back().GroupHash, JenkinsHash("99999"));
    EXPECT_EQ(run->Count("AddRelationshipGroup("), 100000);
    Load("{}");
    EXPECT_EQ(run->Count("RemoveRelationshipGroup("), 100000);
    EXPECT_EQ(Riot().FactionList.size(), 1u);
    EXPECT_TRUE(run->world().groups.empty());
}
