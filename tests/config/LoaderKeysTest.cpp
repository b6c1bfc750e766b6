#include <cmath>
#include <functional>

#include "riot/RiotState.h"
#include "tests/config/LoaderSupport.h"

namespace {

struct Snapshot {
    int32_t EnableKey;
    int32_t MaxRioters;
    bool DisableCops;
    double PedAccuracy;
    bool RiotersOnlyAttackPlayer;
    Names Weapons;

    static Snapshot Now() {
        return {Riot().Settings.EnableKey,
                Riot().Settings.MaxRioters,
                Riot().Settings.DisableCops,
                Riot().Settings.PedAccuracy,
                Riot().Settings.RiotersOnlyAttackPlayer,
                Riot().SharedWeaponList};
    }
    bool operator==(const Snapshot& o) const {
        return EnableKey == o.EnableKey && MaxRioters == o.MaxRioters && DisableCops == o.DisableCops &&
               PedAccuracy == o.PedAccuracy && RiotersOnlyAttackPlayer == o.RiotersOnlyAttackPlayer &&
               Weapons == o.Weapons;
    }
};

std::ostream& operator<<(std::ostream& out, const Snapshot& s) {
    out << "EnableKey " << s.EnableKey << ", MaxRioters " << s.MaxRioters << ", DisableCops " << s.DisableCops
        << ", PedAccuracy " << s.PedAccuracy << ", RiotersOnlyAttackPlayer " << s.RiotersOnlyAttackPlayer
        << ", weapons [";
    for (const std::string& w : s.Weapons)
        out << '"' << w << "\" ";
    return out << ']';
}

struct KeyCase {
    const char* document;
    std::function<void(Snapshot&)> change;  // from the values a load of an empty file leaves
};

void Unchanged(Snapshot&) {}

}  // namespace

TEST_F(LoaderTest, EachTopLevelKeyAppliesOnlyTheKindsItAccepts) {
    const KeyCase cases[] = {
        {R"({"EnableKey": "F6"})", [](Snapshot& s) { s.EnableKey = 117; }},
        {R"({"EnableKey": "F1"})", [](Snapshot& s) { s.EnableKey = 112; }},
        {R"({"EnableKey": "F9"})", Unchanged},
        {R"({"EnableKey": "f6"})", Unchanged},
        {R"({"EnableKey": " F6"})", Unchanged},
        {R"({"EnableKey": 117})", Unchanged},
        {R"({"EnableKey": true})", Unchanged},
        {R"({"EnableKey": null})", Unchanged},
        {R"({"MaxRioters": 30})", [](Snapshot& s) { s.MaxRioters = 30; }},
        {R"({"MaxRioters": 20.0})", [](Snapshot& s) { s.MaxRioters = 20; }},
        {R"({"MaxRioters": 7.0, "MaxRioters": 9})", [](Snapshot& s) { s.MaxRioters = 9; }},
        {R"({"MaxRioters": 20.5})", Unchanged},
        {R"({"MaxRioters": "30"})", Unchanged},
        {R"({"MaxRioters": true})", Unchanged},
        {R"({"MaxRioters": -1})", [](Snapshot& s) { s.MaxRioters = -1; }},
        {R"({"MaxRioters": 0})", [](Snapshot& s) { s.MaxRioters = 0; }},
        {R"({"MaxRioters": 2147483647})", [](Snapshot& s) { s.MaxRioters = 2147483647; }},
        {R"({"MaxRioters": -2147483648})", [](Snapshot& s) { s.MaxRioters = -2147483647 - 1; }},
        {R"({"MaxRioters": 2147483648})", Unchanged},
        {R"({"MaxRioters": -2147483649})", Unchanged},
        {R"({"MaxRioters": 1e300})", Unchanged},
        {R"({"WeaponsUsedByAllFactions": [], "PedWeapons": ["WEAPON_SMG"]})",
         [](Snapshot& s) { s.Weapons = {}; }},
        {R"({"WeaponsUsedByAllFactions": "WEAPON_RPG", "PedWeapons": ["WEAPON_SMG"]})",
         [](Snapshot& s) { s.Weapons = {"WEAPON_SMG"}; }},
        {R"({"PedWeapons": ["WEAPON_SMG", "WEAPON_SMG"]})",
         [](Snapshot& s) {
             s.Weapons = {"WEAPON_SMG", "WEAPON_SMG"};
         }},
        {R"({"WeaponsUsedByAllFactions": {"a": 1}, "PedWeapons": "WEAPON_SMG"})", Unchanged},
        {R"({"WeaponsUsedByAllFactions": ["WEAPON_MOLOTOV", "WEAPON_BZGAS"]})",
         [](Snapshot& s) { s.Weapons = {}; }},
        {R"({"WeaponsUsedByAllFactions": [7, -3, 1.5, true, false, null, "weapon_smg", 3000000000]})",
         [](Snapshot& s) {
             s.Weapons = {"7", "-3", "1.5", "true", "false", "", "weapon_smg", "3000000000"};
         }},
        {R"({"DisableCops": false})", [](Snapshot& s) { s.DisableCops = false; }},
        {R"({"DisableCops": 0})", Unchanged},
        {R"({"DisableCops": "false"})", Unchanged},
        {R"({"DisableCops": null})", Unchanged},
        {R"({"PedAccuracy": 50})", [](Snapshot& s) { s.PedAccuracy = 50.0; }},
        {R"({"PedAccuracy": -2.5})", [](Snapshot& s) { s.PedAccuracy = -2.5; }},
        {R"({"PedAccuracy": 1e300})", [](Snapshot& s) { s.PedAccuracy = 1e300; }},
        {R"({"PedAccuracy": 18446744073709551615})",
         [](Snapshot& s) { s.PedAccuracy = 18446744073709551615.0; }},
        {R"({"PedAccuracy": true})", Unchanged},
        {R"({"PedAccuracy": "50"})", Unchanged},
        {R"({"RiotersOnlyAttackPlayer": true})", [](Snapshot& s) { s.RiotersOnlyAttackPlayer = true; }},
        {R"({"RiotersOnlyAttackPlayer": 2})", [](Snapshot& s) { s.RiotersOnlyAttackPlayer = true; }},
        {R"({"RiotersOnlyAttackPlayer": 0.5})", [](Snapshot& s) { s.RiotersOnlyAttackPlayer = true; }},
        {R"({"RiotersOnlyAttackPlayer": false})", Unchanged},
        {R"({"RiotersOnlyAttackPlayer": 0})", Unchanged},
        {R"({"RiotersOnlyAttackPlayer": null})", Unchanged},
        {R"({"enablekey": "F6", "MAXRIOTERS": 5, "Unknown": [1, 2]})", Unchanged},
    };
    for (const KeyCase& c : cases) {
        ResetScriptState();
        Snapshot expected = Snapshot::Now();
        expected.Weapons = BuiltInWithoutThrowables();
        c.change(expected);
        Load(c.document);
        EXPECT_EQ(Snapshot::Now(), expected) << c.document;
        ASSERT_EQ(Riot().FactionList.size(), 1u) << c.document;
        EXPECT_TRUE(Riot().FactionList[0].IsDefault) << c.document;
    }
}

TEST_F(LoaderTest, EachLoadStartsFromTheValuesInForce) {
    Load(
        R"({"EnableKey": "F2", "MaxRioters": 3, "DisableCops": false, "PedAccuracy": 9, "RiotersOnlyAttackPlayer": true,
             "PedWeapons": ["WEAPON_SMG"]})");
    Load(R"({"RiotersOnlyAttackPlayer": false})");
    EXPECT_EQ(Riot().Settings.EnableKey, 113);
    EXPECT_EQ(Riot().Settings.MaxRioters, 3);
    EXPECT_FALSE(Riot().Settings.DisableCops);
    EXPECT_EQ(Riot().Settings.PedAccuracy, 9.0);
    EXPECT_TRUE(Riot().Settings.RiotersOnlyAttackPlayer);  // the file can switch it on, never off
    EXPECT_EQ(Riot().SharedWeaponList, Names{"WEAPON_SMG"});
}

TEST_F(LoaderTest, FactionKeys) {
    struct Case {
        const char* factions;
        uint32_t maxMembers;
        bool willAttackSelf;
        Names weapons;
        Names models;
    };
    const Case cases[] = {
        {R"([{}])", 20, false, {}, {}},
        {R"([null])", 20, false, {}, {}},
        {R"([{"MaxMembers": 12}])", 12, false, {}, {}},
        {R"([{"MaxMembers": 7.9}])", 7, false, {}, {}},
        {R"([{"MaxMembers": -7.9}])", static_cast<uint32_t>(-7), false, {}, {}},
        {R"([{"MaxMembers": null}])", 0, false, {}, {}},
        {R"([{"MaxMembers": true}])", 1, false, {}, {}},
        {R"([{"MaxMembers": -1}])", 4294967295u, false, {}, {}},
        {R"([{"MaxMembers": 2147483647}])", 2147483647u, false, {}, {}},
        {R"([{"WillAttackSelf": true}])", 20, true, {}, {}},
        {R"([{"WillAttackSelf": 3}])", 20, true, {}, {}},
        {R"([{"WillAttackSelf": 0}])", 20, false, {}, {}},
        {R"([{"WillAttackSelf": null}])", 20, false, {}, {}},
        {R"([{"Weapons": ["WEAPON_MOLOTOV", 5], "MemberModels": ["a_m_y_skater_01", null]}])",
         20,
         false,
         {"WEAPON_MOLOTOV", "5"},
         {"a_m_y_skater_01", ""}},
        {R"([{"Weapons": "WEAPON_SMG", "MemberModels": {"a": 1}}])", 20, false, {}, {}},
        {R"([{"WillAttackSelf": true, "Weapons": ["WEAPON_SMG"], "MemberModels": ["m"]}])",
         20,
         true,
         {"WEAPON_SMG"},
         {"m"}},
    };
    for (const Case& c : cases) {
        ResetScriptState();
        Load(std::string(R"({"MaxRioters": 50, "Factions": )") + c.factions + "}");
        ASSERT_EQ(Riot().FactionList.size(), 1u) << c.factions;
        const Faction& f = Riot().FactionList[0];
        EXPECT_EQ(f.MaxMembers, c.maxMembers) << c.factions;
        EXPECT_EQ(f.WillAttackSelf, c.willAttackSelf) << c.factions;
        EXPECT_EQ(f.GroupHash != 0, !c.willAttackSelf) << c.factions;
        EXPECT_EQ(f.Weapons, c.weapons) << c.factions;
        EXPECT_EQ(f.MemberModels, c.models) << c.factions;
        EXPECT_TRUE(f.Members.empty());
        EXPECT_FALSE(f.IsDefault);
    }
}

TEST_F(LoaderTest, TheDefaultFactionStandsInForMissingFactions) {
    for (const char* factions :
         {"", R"(, "Factions": [])", R"(, "Factions": {})", R"(, "Factions": {"0": {}})",
          R"(, "Factions": null)", R"(, "Factions": 3)", R"(, "Factions": "x")"}) {
        ResetScriptState();
        Load(std::string(R"({"MaxRioters": 50)") + factions + "}");
        ASSERT_EQ(Riot().FactionList.size(), 1u) << factions;
        EXPECT_TRUE(Riot().FactionList[0].IsDefault);
        EXPECT_EQ(Riot().FactionList[0].MaxMembers, 50u);
        EXPECT_TRUE(Riot().FactionList[0].WillAttackSelf);
        EXPECT_EQ(Riot().FactionList[0].GroupHash, 0u);
        EXPECT_EQ(GroupCalls(), Names{}) << factions;
    }
}

TEST_F(LoaderTest, TheDefaultFactionOfPlayerOnlyModeHoldsTheRioterGroup) {
    Riot().RioterGroup = 0xABCDEF01;
    Load(R"({"RiotersOnlyAttackPlayer": true, "MaxRioters": -5})");
    ASSERT_EQ(Riot().FactionList.size(), 1u);
    EXPECT_FALSE(Riot().FactionList[0].WillAttackSelf);
    EXPECT_EQ(Riot().FactionList[0].GroupHash, 0xABCDEF01u);
    EXPECT_EQ(Riot().FactionList[0].MaxMembers, static_cast<uint32_t>(-5));
    // Its group is the shared one: the next load must not remove it.
    Load(R"({"RiotersOnlyAttackPlayer": true})");
    EXPECT_EQ(GroupCalls(), Names{});
    EXPECT_EQ(run->Count("RemoveRelationshipGroup"), 0);
}
