// The example config shipped to players loads completely, every key as its comment says.
#include <fstream>
#include <sstream>

#include "riot/RiotState.h"
#include "tests/config/LoaderSupport.h"

namespace {

std::string Example() {
    std::ifstream file(std::string(SKIRMORA_SOURCE_DIR) + "/examples/Skirmora_config.txt", std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class ExampleConfig : public LoaderTest {};

TEST_F(ExampleConfig, LoadsEveryKeyAndEveryFaction) {
    const std::string text = Example();
    ASSERT_FALSE(text.empty());
    // The package ships it with CRLF line ends, for Notepad: both must give the same load.
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    for (const std::string& content : {text, crlf}) {
        Restart();
        Riot().Settings.EnableKey = 0;  // so that a skipped key shows
        Load(content);
        EXPECT_EQ(Riot().Settings.EnableKey, 0x76);
        EXPECT_EQ(Riot().Settings.MaxRioters, 24);
        EXPECT_TRUE(Riot().Settings.DisableCops);
        EXPECT_DOUBLE_EQ(Riot().Settings.PedAccuracy, 40.0);
        EXPECT_FALSE(Riot().Settings.RiotersOnlyAttackPlayer);
        EXPECT_EQ(Riot().SharedWeaponList,
                  (Names{"WEAPON_PISTOL", "WEAPON_MICROSMG", "WEAPON_PUMPSHOTGUN", "WEAPON_BAT"}));
        ASSERT_EQ(Riot().FactionList.size(), 3u) << "the load reached the last faction";
        EXPECT_EQ(Riot().FactionList[0].MaxMembers, 10u);
        EXPECT_EQ(Riot().FactionList[0].Weapons, (Names{"WEAPON_ASSAULTRIFLE", "WEAPON_MOLOTOV"}));
        EXPECT_EQ(Riot().FactionList[1].MemberModels, (Names{"g_m_y_famca_01", "g_m_y_famfor_01"}));
        EXPECT_FALSE(Riot().FactionList[1].WillAttackSelf);
        EXPECT_EQ(Riot().FactionList[2].MaxMembers, 6u);
        EXPECT_TRUE(Riot().FactionList[2].WillAttackSelf);
        EXPECT_TRUE(Riot().FactionList[2].Weapons.empty());
        EXPECT_TRUE(Riot().FactionList[2].MemberModels.empty());
        EXPECT_EQ(GroupCalls(), (Names{"+0", "+1"})) << "groups for the two factions that spare their own";
    }
}

TEST_F(ExampleConfig, APlayerEditingItKeepsTheLoadCompleteUpToTheEdit) {
    // The most common edit: a value typed as text. The load ends there and keeps what came before.
    std::string text = Example();
    const std::string from = "\"MaxMembers\": 6,";
    ASSERT_NE(text.find(from), std::string::npos);
    text.replace(text.find(from), from.size(), "\"MaxMembers\": \"6\",");
    Load(text);
    EXPECT_EQ(Riot().Settings.MaxRioters, 24);
    EXPECT_EQ(Riot().FactionList.size(), 2u);
}

}  // namespace
