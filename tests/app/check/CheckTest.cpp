// The check command end to end: for each way a config file goes wrong, the status, the explanation, and that
// the report tells what the game itself does with the file at a press of the toggle key.
#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "app/check/Check.h"
#include "config/KeyNames.h"
#include "config/LoadCheckText.h"
#include "config/Settings.h"
#include "config/Words.h"
#include "riot/Roster.h"
#include "script/ScriptMain.h"
#include "sim/Simulation.h"
#include "tests/support/ExampleDocument.h"
#include "tests/support/ScriptRun.h"
#include "tests/support/TempDir.h"

namespace {

// What the script itself leaves after its start-up load and one press of the toggle key, and its log.
struct GameLoad {
    SettingsRecord settings;
    std::vector<std::string> weapons;
    std::vector<Faction> factions;
    std::string log;
};

GameLoad LoadInGame() {
    ScriptRun run;
    run.sim().logPath = "Skirmora.log";
    run.Frames(1);
    run.Press(1, Settings.EnableKey);  // the key the start-up load put in force
    run.Frames(1);
    EXPECT_EQ(run.Count("AddTextComponentString(\"Skirmora enabled\")"), 1);
    std::ifstream log("Skirmora.log", std::ios::binary);
    std::ostringstream text;
    text << log.rdbuf();
    return {Settings, SharedWeaponList, FactionList, text.str()};
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The game's log tells its start-up load in the report's words: the headline, then every section of findings
// line for line (blank lines left out), then what is in force.
void ExpectLogTells(const std::string& report, const std::string& log, const std::string& what) {
    std::vector<std::string> told, findings;
    bool load = false;
    for (const std::string& stamped : Lines(log)) {
        const std::string line =
            stamped.substr(std::min<std::size_t>(stamped.size(), 15));  // "[hh:mm:ss.mmm] "
        load = (load || line.rfind("Load at the start: ", 0) == 0) && line.rfind("In force: ", 0) != 0;
        if (load) told.push_back(line);
    }
    const std::string first = report.substr(0, report.find('\n'));
    const std::string headline = first.substr(first.find("Skirmora_config.txt: "));
    findings.push_back("Load at the start: " + headline.substr(0, headline.find(" (exit status")));
    bool state = false;
    for (const std::string& line : Lines(report.substr(first.size()))) {
        if (line.empty()) continue;
        if (line[0] != ' ')
            state = line == "Settings in force" || line.rfind("Shared weapons (", 0) == 0 ||
                    line.rfind("Factions (", 0) == 0;
        if (!state) findings.push_back(line);
    }
    EXPECT_EQ(told, findings) << what << ": the log\n" << log;
}

// The second word of the report's row for a setting.
std::string Row(const std::string& report, const std::string& key) {
    for (const std::string& line : Lines(report)) {
        std::istringstream words(line);
        std::string first, second;
        words >> first >> second;
        if (first == key && line.rfind("  " + key, 0) == 0) return second;
    }
    return "(no row)";
}

std::string KeyNameOf(int32_t code) {
    for (const auto& entry : KeyNameTable)
        if (entry.second == code) return entry.first;
    return "?";
}

bool Contains(const std::string& text, const std::string& fragment) {
    return text.find(fragment) != std::string::npos;
}

// The report's words against the game's own load.
void ExpectReportTells(const std::string& report, const GameLoad& game, const std::string& what) {
    EXPECT_EQ(Row(report, "EnableKey"), KeyNameOf(game.settings.EnableKey)) << what;
    EXPECT_EQ(Row(report, "MaxRioters"), std::to_string(game.settings.MaxRioters)) << what;
    EXPECT_EQ(Row(report, "DisableCops"), game.settings.DisableCops ? "true" : "false") << what;
    EXPECT_EQ(Row(report, "PedAccuracy"), fmt::format("{}", game.settings.PedAccuracy)) << what;
    EXPECT_EQ(Row(report, "RiotersOnlyAttackPlayer"),
              game.settings.RiotersOnlyAttackPlayer ? "true" : "false")
        << what;
    EXPECT_TRUE(Contains(report, fmt::format("\nShared weapons ({}, ", game.weapons.size()))) << what;
    EXPECT_TRUE(Contains(report, fmt::format("\nFactions ({})\n", game.factions.size()))) << what;
    for (std::size_t k = 0; k < game.factions.size(); ++k) {
        const Faction& f = game.factions[k];
        std::string line;
        for (const std::string& l : Lines(report))
            if (l.rfind(f.IsDefault ? "  the default faction" : fmt::format("  Factions[{}]", k), 0) == 0)
                line = l;
        ASSERT_FALSE(line.empty()) << what << " faction " << k << "\n" << report;
        const std::string cap = f.MaxMembers > static_cast<uint32_t>(INT_MAX)
                                    ? std::string("no cap of its own")
                                    : fmt::format("cap {}", f.MaxMembers);
        EXPECT_TRUE(Contains(line, cap)) << what << ": " << line;
        const std::string group = f.GroupHash != 0 ? fmt::format("(0x{:08X})", f.GroupHash) : "no group";
        EXPECT_TRUE(Contains(line, group)) << what << ": " << line;
        EXPECT_EQ(Contains(line, "attacks its own"), f.WillAttackSelf) << what << ": " << line;
    }
}

struct Case {
    const char* what;
    std::string text;
    int status;
    std::vector<std::string> says;          // fragments the report must hold
    std::vector<std::string> notSays = {};  // and must not
};

class CheckTest : public ::testing::Test {
  protected:
    TempDir dir;
    std::string Path() const { return dir.Path() + "/Skirmora_config.txt"; }

    struct Checked {
        int status;
        std::string report;
        std::string errors;
    };
    Checked Check(const std::string& bytes) {
        dir.WriteConfig(bytes);
        std::ostringstream out, err;
        const int status = CheckConfigFile(Path(), out, err);
        return {status, out.str(), err.str()};
    }
    void RunCases(const std::vector<Case>& cases);
};

std::string Nested(int levels) {
    std::string text = "{\"MaxRioters\": 5,\n\"Deep\": ";
    for (int k = 1; k < levels; ++k)
        text += '[';
    for (int k = 1; k < levels; ++k)
        text += ']';
    return text + "}";
}

}  // namespace

TEST_F(CheckTest, SettingsThatApplyAndSettingsThatChangeNothing) {
    const std::vector<Case> cases = {
        {"the example",
         ExampleDocument,
         CheckLoaded,
         {"loads completely, every key applied (exit status 0)", "F6 (key code 117)", "from the file, line 2",
          "from \"WeaponsUsedByAllFactions\", line 6", "group \"0\"", "g_m_y_ballaorig_01, g_m_y_famca_01",
          "WEAPON_ASSAULTRIFLE, WEAPON_MOLOTOV", "rioters get accuracy 45"}},
        {"key name in lower case",
         R"({"EnableKey": "f6"})",
         CheckKeysIgnored,
         {R"("EnableKey": "f6" is not a key name: did you mean "F6"?)", "1 key changed nothing"}},
        {"no such key",
         R"({"EnableKey": "F9"})",
         CheckKeysIgnored,
         {R"("EnableKey": "F9" is not a key name: names are "F1" to "F8")"}},
        {"key as its code",
         R"({"EnableKey": 117})",
         CheckKeysIgnored,
         {R"("EnableKey": 117 is not a key name: names are "F1" to "F8")"}},
        {"fractional cap",
         "{\n\"EnableKey\": \"F2\",\n\"MaxRioters\": 20.5\n}",
         CheckKeysIgnored,
         {"line 3: \"MaxRioters\": 20.5 is not a whole number",
          "built-in (the file's 20.5 is not a whole number)", "F2 (key code 113)"}},
        {"cap as text",
         R"({"MaxRioters": "30"})",
         CheckKeysIgnored,
         {R"("MaxRioters": "30" is not a whole number: write it without quotes)"}},
        {"cap out of range",
         R"({"MaxRioters": 2147483648})",
         CheckKeysIgnored,
         {"is outside the whole numbers"}},
        {"cap zero", R"({"MaxRioters": 0})", CheckLoaded, {"from the file, line 1; nobody is recruited"}},
        {"more rioters than the game bears",
         R"({"MaxRioters": 500})",
         CheckLoaded,
         {"line 1, column 16: up to 500 rioters at once (MaxRioters 500) cost the game dearly",
          "2N²+6N = 503,000 game calls"},
         {"The game arms nobody"}},
        {"the factions' caps bound the riot",
         R"({"MaxRioters": 500, "Factions": [{"MaxMembers": 60}, {"MaxMembers": 41}]})",
         CheckLoaded,
         {"up to 101 rioters at once (MaxRioters 500; the factions' caps add up to 101)"}},
        {"a riot the game bears", R"({"MaxRioters": 100})", CheckLoaded, {}, {"Notes"}},
        {"whole real cap", R"({"MaxRioters": 20.0})", CheckLoaded, {"from the file, line 1"}},
        {"cops as a number",
         R"({"DisableCops": 1})",
         CheckKeysIgnored,
         {R"("DisableCops": 1 is not true or false)"}},
        {"cops as text",
         R"({"DisableCops": "false"})",
         CheckKeysIgnored,
         {R"("DisableCops": "false" is not true or false: write it without quotes)"}},
        {"accuracy as boolean",
         R"({"PedAccuracy": true})",
         CheckKeysIgnored,
         {R"("PedAccuracy": true is not a number)"}},
        {"fractional accuracy", R"({"PedAccuracy": 45.9})", CheckLoaded, {"rioters get accuracy 45"}},
        {"huge accuracy", R"({"PedAccuracy": 1e300})", CheckLoaded, {"rioters get accuracy 2147483647"}},
        {"player-only by number",
         R"({"RiotersOnlyAttackPlayer": 2, "MaxRioters": 4})",
         CheckLoaded,
         {"group \"RIOTER\"", "every rioter fights only the player", "cap 4 (MaxRioters)"}},
        {"player-only null",
         R"({"RiotersOnlyAttackPlayer": null})",
         CheckKeysIgnored,
         {R"("RiotersOnlyAttackPlayer": null is not true or false)"}},
        {"player-only false",
         R"({"RiotersOnlyAttackPlayer": false})",
         CheckLoaded,
         {"a file can switch it on, never off"}},
        {"misspelt key",
         R"({"MaxRioter": 30})",
         CheckKeysIgnored,
         {R"(unknown key "MaxRioter": did you mean "MaxRioters"?)"}},
        {"key in lower case",
         R"({"maxrioters": 30})",
         CheckKeysIgnored,
         {R"(did you mean "MaxRioters"? Key names are case-sensitive)"}},
        {"key given twice",
         R"({"MaxRioters": 7.0, "MaxRioters": 9})",
         CheckKeysIgnored,
         {R"(line 1: "MaxRioters" is given again on line 1: only the later one counts)"}},
        {"faction key given twice",
         "{\"Factions\": [{}, {\"MaxMembers\": 2,\n \"MaxMembers\": 3}]}",
         CheckKeysIgnored,
         {R"(line 1: "MaxMembers" is given again on line 2)", "cap 3,"}},
        {"escaped quote in a key",
         R"({"a\"b": 1, "a\"b": 2, "MaxRioters": 4})",
         CheckKeysIgnored,
         {R"(is given again on line 1)", "from the file, line 1"}},
        {"unrelated key", R"({"Colour": "red"})", CheckKeysIgnored, {R"(unknown key "Colour": ignored)"}},
        {"faction key at the top",
         R"({"Weapons": ["WEAPON_SMG"]})",
         CheckKeysIgnored,
         {R"(unknown key "Weapons": a key of a faction entry, ignored at the top level)"}},
    };
    RunCases(cases);
}

TEST_F(CheckTest, WeaponListsAndFactions) {
    const std::vector<Case> cases = {
        {"both lists",
         R"({"WeaponsUsedByAllFactions": ["WEAPON_SMG"], "PedWeapons": ["WEAPON_RPG"]})",
         CheckKeysIgnored,
         {R"("PedWeapons" is ignored: "WeaponsUsedByAllFactions" is an array)"}},
        {"list as text",
         R"({"WeaponsUsedByAllFactions": "WEAPON_RPG", "PedWeapons": ["WEAPON_SMG"]})",
         CheckKeysIgnored,
         {R"("WeaponsUsedByAllFactions" is a text, not an array: changed nothing)", "from \"PedWeapons\""}},
        {"names of other kinds",
         R"({"PedWeapons": [7, true, null, "WEAPON_MOLOTOV", "WEAPON_SMG"]})",
         CheckKeysIgnored,
         {R"("PedWeapons[0]": 7 is not a weapon name)", R"("PedWeapons[1]": true is not a weapon name)",
          R"("PedWeapons[2]": null is not a weapon name)", "thrown weapons taken out: WEAPON_MOLOTOV"}},
        {"only thrown weapons",
         R"({"WeaponsUsedByAllFactions": ["WEAPON_GRENADE", "WEAPON_BZGAS"]})",
         CheckLoaded,
         {"Shared weapons (0, ", "thrown weapons taken out: WEAPON_GRENADE, WEAPON_BZGAS"}},
        {"empty factions",
         R"({"Factions": []})",
         CheckKeysIgnored,
         {R"("Factions" is an empty array: the default faction is built instead)", "the default faction"}},
        {"factions as object",
         R"({"Factions": {"0": {}}})",
         CheckKeysIgnored,
         {"is an object, not an array"}},
        {"misspelt faction key",
         R"({"Factions": [{"Weapon": ["WEAPON_SMG"]}]})",
         CheckKeysIgnored,
         {R"(unknown key "Weapon" in "Factions[0]": did you mean "Weapons"?)", "weapons  the shared list"}},
        {"fractional member cap", R"({"Factions": [{"MaxMembers": 7.9}]})", CheckLoaded, {"cap 7,"}},
        {"no cap",
         R"({"Factions": [{"MaxMembers": -1}]})",
         CheckLoaded,
         {"no cap of its own (MaxMembers -1"}},
        {"null cap", R"({"Factions": [{"MaxMembers": null}]})", CheckLoaded, {"cap 0: recruits nobody"}},
        {"weapons as text",
         R"({"Factions": [{"Weapons": "WEAPON_SMG"}]})",
         CheckKeysIgnored,
         {R"("Factions[0].Weapons" is a text, not an array: the faction draws from the shared list)"}},
        {"models as object",
         R"({"Factions": [{"MemberModels": {"a": 1}}]})",
         CheckKeysIgnored,
         {R"("Factions[0].MemberModels" is an object, not an array: the faction's rioters are random)"}},
        {"group names count every entry",
         R"({"Factions": [{"WillAttackSelf": true}, {}]})",
         CheckLoaded,
         {"Factions[0]", "no group of its own: attacks its own", "group \"1\""}},
        {"top-level key in a faction",
         R"({"Factions": [{"PedAccuracy": 5}]})",
         CheckKeysIgnored,
         {R"(unknown key "PedAccuracy" in "Factions[0]": a top-level key, ignored inside a faction)"}},
    };
    RunCases(cases);
}

TEST_F(CheckTest, LoadsThatEndEarly) {
    const std::vector<Case> cases = {
        {"top-level array",
         R"([{"MaxRioters": 3}])",
         CheckLoadEnded,
         {"the load ended early, at line 1, column 1", "the document is an array, not an object",
          "The factions are not rebuilt", "Factions (0)", "Shared weapons (29, built-in)"}},
        {"top-level text", R"("MaxRioters")", CheckLoadEnded, {"the document is a text"}},
        {"keys written before the end but read after it",
         "{\"PedAccuracy\": 70, \"DisableCops\": false,\n\"MaxRioters\": 5, \"EnableKey\": {\"k\": 1}}",
         CheckLoadEnded,
         {"Read before the end: none.",
          R"(Never reached: "MaxRioters" (line 2), "DisableCops" (line 1), "PedAccuracy" (line 1).)"}},
        {"faction keys never reached",
         R"({"Factions": [{"MaxMembers": "x", "Weapons": []}, {"MemberModels": []}], "MaxRioters": 3})",
         CheckLoadEnded,
         {R"(Read before the end: "MaxRioters" (line 1), "Factions" (line 1).)",
          R"(Never reached: "Factions[0].Weapons" (line 1), "Factions[1].MemberModels" (line 1).)"}},
        {"key as array",
         "{\"EnableKey\": [\"F6\"],\n \"MaxRioter\": 3}",
         CheckLoadEnded,
         {R"("EnableKey" is an array: it must be a key name)", R"(unknown key "MaxRioter")"}},
        {"shared weapon entry array",
         R"({"MaxRioters": 3, "PedWeapons": ["A", ["B"], "C"], "DisableCops": false})",
         CheckLoadEnded,
         {R"("PedWeapons[1]" is an array: a name must be a text)", "Shared weapons (1, "}},
        {"player-only as text",
         R"({"MaxRioters": 3, "PedWeapons": ["WEAPON_BZGAS"], "RiotersOnlyAttackPlayer": "yes", "Factions": [{}]})",
         CheckLoadEnded,
         {R"("RiotersOnlyAttackPlayer" is a text ("yes"): it must be true or false)",
          "thrown weapons NOT taken out (the load ended early): WEAPON_BZGAS", "The factions are not rebuilt",
          "Factions (0)"}},
        {"faction entry number",
         R"({"Factions": [{"MaxMembers": 4}, 5, {}, {}]})",
         CheckLoadEnded,
         {R"("Factions[1]" is a number (5): a faction must be an object)", "cap 4"},
         {"The factions are not rebuilt"}},
        {"member cap as text",
         "{\"Factions\": [{\"MaxMembers\": 2},\n {\"MaxMembers\": \"4\"}]}",
         CheckLoadEnded,
         {"at line 2, column 17", R"("Factions[1].MaxMembers" is a text ("4"): it must be a whole number)"}},
        {"member cap out of range",
         R"({"Factions": [{"MaxMembers": 2147483648}]})",
         CheckLoadEnded,
         {"(2147483648): it must be a whole number from -2147483648 to 2147483647",
          "none: nobody is recruited"}},
        {"attack-own as text",
         R"({"Factions": [{"WillAttackSelf": "yes", "Weapons": ["A"]}]})",
         CheckLoadEnded,
         {R"("Factions[0].WillAttackSelf" is a text ("yes"): it must be true or false)"}},
        {"faction weapon entry array",
         R"({"Factions": [{"MaxMembers": 3}, {"Weapons": ["A", []]}]})",
         CheckLoadEnded,
         {R"("Factions[1].Weapons[1]" is an array)", "Factions (1)"}},
        {"faction model entry object",
         R"({"PedWeapons": ["WEAPON_GRENADE", "WEAPON_SMG"], "Factions": [{"MemberModels": ["m1", {"x": 1}, "m3"]}, {}]})",
         CheckLoadEnded,
         {R"("Factions[0].MemberModels[1]" is an object: a name must be a text)", "models   m1\n",
          "NOT taken out (the load ended early): WEAPON_GRENADE"}},
        {"nested too deeply",
         Nested(1001),
         CheckLoadEnded,
         {"the load ended early (exit status 2)", "more than 1000 deep", "The factions are not rebuilt"}},
        {"nested just deep enough", Nested(1000), CheckKeysIgnored, {"unknown key \"Deep\""}},
    };
    RunCases(cases);
}

TEST_F(CheckTest, TextFormsAndParseErrors) {
    const std::string broken = "{\n  \"MaxRioters\": 9,\n  \"DisableCops\": fals\n}";
    const std::vector<Case> cases = {
        {"parse error",
         broken,
         CheckKeysIgnored,
         {"loads after a parse error at line 3, column 18", "Syntax error: value, object or array expected",
          "from the file, line 2", "built-in (the file's value is cut off by the parse error)"}},
        {"byte-order mark is no column", "\xEF\xBB\xBF" + broken, CheckKeysIgnored, {"line 3, column 18"}},
        {"CRLF line ends",
         "{\r\n  \"MaxRioters\": 9,\r\n  \"DisableCops\": fals\r\n}",
         CheckKeysIgnored,
         {"line 3, column 18"}},
        {"lone CR line ends",
         "{\r  \"MaxRioters\": 9,\r  \"DisableCops\": fals\r}",
         CheckKeysIgnored,
         {"line 3, column 18"}},
        // The commonest slips, each said at the place of the mistake.
        {"missing comma",
         "{\"MaxRioters\": 9 // cap\n  \"EnableKey\": \"F2\"}",
         CheckKeysIgnored,
         {"line 1, column 17: a comma is missing here, between this value and \"EnableKey\" after it"}},
        {"missing comma in a list",
         R"({"PedWeapons": ["WEAPON_SMG" "WEAPON_RPG"]})",
         CheckKeysIgnored,
         {"column 29: a comma is missing here, between this value and \"WEAPON_RPG\""}},
        {"single quotes",
         "{\n  'MaxRioters': 9}",
         CheckKeysIgnored,
         {"line 2, column 3: a single quote: JSON takes"}},
        {"curly quotes",
         "{\"EnableKey\": \xE2\x80\x9C"
         "F6\xE2\x80\x9D}",
         CheckKeysIgnored,
         {"line 1, column 15: a curly quote (\xE2\x80\x9C): JSON takes only straight double quotes"}},
        {"# comment",
         "{\n  # cap\n  \"MaxRioters\": 9}",
         CheckKeysIgnored,
         {"line 2, column 3: a # comment"}},
        {"unclosed comment inside",
         "{\"MaxRioters\": 9, /* \"EnableKey\": \"F2\"}",
         CheckKeysIgnored,
         {"column 19: a comment opened with /* is never closed"}},
        {"cut short",
         R"({"Factions": [{"MaxMembers": 3})",
         CheckKeysIgnored,
         {"the file ends before its document does: was it cut short? It lacks ']' and '}'"}},
        {"text never closed",
         R"({"EnableKey": "F6})",
         CheckKeysIgnored,
         {"column 15: this text is never closed"}},
        {"trailing comma leaves an empty name",
         R"({"PedWeapons": ["WEAPON_SMG", ]})",
         CheckKeysIgnored,
         {"and 1 name is not the game's",
          R"("PedWeapons[1]": "", left by the parse error, is not a weapon name)", "The game arms nobody"}},
        {"columns count characters",
         "{\"Name\": \"\xC3\xA9\", x}",
         CheckKeysIgnored,
         {"line 1, column 15", R"(unknown key "Name")"}},
        {"cut off inside a faction",
         R"({"MaxRioters": 4, "Factions": [{"MaxMembers": 2}, {"MaxMembers": 3, "Weapons": ["WEAPON_SMG", )",
         CheckKeysIgnored,
         {"Factions (2)"}},
        {"comments",
         "// players' file\n{ /* cap */ \"MaxRioters\": 9, // after\n \"EnableKey\": \"F2\" }\n",
         CheckLoaded,
         {"from the file, line 2", "from the file, line 3"}},
        {"byte-order mark alone", "\xEF\xBB\xBF{\"MaxRioters\": 9}", CheckLoaded, {"from the file, line 1"}},
        {"empty file", "", CheckLoaded, {"holds no JSON value, only blanks and comments"}},
        {"only a comment", "// nothing yet\n", CheckLoaded, {"holds no JSON value"}},
        {"trailing text",
         "{\"MaxRioters\": 9}\nxyz {",
         CheckKeysIgnored,
         {"line 2: text after the end of the document is not read"}},
        {"unclosed comment", "{\"MaxRioters\": 9} /* and", CheckKeysIgnored, {"text after the end"}},
        {"binary garbage",
         std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16),
         CheckKeysIgnored,
         {"is not JSON text: the game reads no setting from it",
          R"(it starts with "\x89PNG\x0D\x0A\x1A\x0A")"},
         {"parse error"}},
        {"UTF-16", std::string("\xFF\xFE{\0}\0", 6), CheckKeysIgnored, {"UTF-16 text", "save it as UTF-8"}},
        {"trailing comma",
         "{\"MaxRioters\": 9,\n}",
         CheckKeysIgnored,
         {"line 2, column 1: a comma before the closing '}' (a trailing comma)"}},
        {"bytes that are not UTF-8",
         "{\"Caf\xE9\x1B[2J\": 1}",
         CheckKeysIgnored,
         {R"(unknown key "Caf\xE9\x1B[2J")"}},
    };
    RunCases(cases);
}

void CheckTest::RunCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        const auto checked = Check(c.text);
        EXPECT_EQ(checked.status, c.status) << c.what << "\n" << checked.report;
        EXPECT_TRUE(checked.errors.empty()) << c.what << ": " << checked.errors;
        EXPECT_TRUE(Contains(checked.report, fmt::format("(exit status {})\n", c.status))) << c.what;
        EXPECT_EQ(Printable(checked.report), checked.report) << c.what << ": raw bytes reach the terminal";
        for (const std::string& fragment : c.says)
            EXPECT_TRUE(Contains(checked.report, fragment)) << c.what << ": no \"" << fragment << "\" in\n"
                                                            << checked.report;
        for (const std::string& fragment : c.notSays)
            EXPECT_FALSE(Contains(checked.report, fragment)) << c.what << ": \"" << fragment << "\" in\n"
                                                             << checked.report;
        const GameLoad game = LoadInGame();
        ExpectReportTells(checked.report, game, c.what);
        ExpectLogTells(checked.report, game.log, c.what);
    }
}

TEST_F(CheckTest, FilesThatCannotBeRead) {
    struct Case {
        const char* what;
        std::string path;
        std::string says;
    };
    std::filesystem::create_directory(dir.Path() + "/folder");
    const Case cases[] = {
        {"missing", dir.Path() + "/nothing.txt", "No such file or directory"},
        {"a directory", dir.Path() + "/folder", "Is a directory"},
        {"under a file", Path() + "/x", "Not a directory"},
        {"endless", "/dev/zero",
         "it holds more than 64 MiB, far more than any config file or scenario: not read further"},
    };
    dir.WriteConfig("{}");
    for (const Case& c : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(CheckConfigFile(c.path, out, err), CheckCannotRun) << c.what;
        EXPECT_EQ(err.str(), fmt::format("skirmora-sim: cannot read {}: {}\n", c.path, c.says)) << c.what;
        EXPECT_TRUE(out.str().empty()) << c.what;
    }
}

TEST_F(CheckTest, ReadsStandardInputOnceAndSaysWhenItCannotWrite) {
    std::istringstream in(R"({"MaxRioters": 4})");
    std::ostringstream out, err;
    EXPECT_EQ(CheckConfigFile("-", out, err, in), CheckLoaded) << err.str();
    EXPECT_EQ(out.str().rfind("standard input: loads completely", 0), 0u) << out.str();
    EXPECT_TRUE(Contains(out.str(), "from the file, line 1")) << out.str();
    EXPECT_EQ(Row(out.str(), "MaxRioters"), "4");

    dir.WriteConfig("{}");
    std::ofstream full("/dev/full");
    std::ostringstream fullErr;
    EXPECT_EQ(CheckConfigFile(Path(), full, fullErr), CheckCannotRun);
    EXPECT_EQ(fullErr.str(), "skirmora-sim: cannot write the report: No space left on device\n");
}

// The check needs no game: beside a running one it starts from the built-in values, and changes nothing of
// it.
TEST_F(CheckTest, StartsFromTheBuiltInValuesAndTouchesNoGame) {
    dir.WriteConfig(R"({"Factions": [{}]})");
    ScriptRun run;
    Settings.MaxRioters = 99;  // a value in force must not reach the check
    const std::size_t calls = run.Events().size();
    for (int k = 0; k < 2; ++k) {
        std::ostringstream out, err;
        EXPECT_EQ(CheckConfigFile(Path(), out, err), CheckLoaded) << err.str();
        EXPECT_EQ(Row(out.str(), "MaxRioters"), "20");
    }
    EXPECT_EQ(Settings.MaxRioters, 99);
    EXPECT_TRUE(FactionList.empty());
    EXPECT_EQ(run.Events().size(), calls);
}

TEST_F(CheckTest, TheGamesOwnNames) {
    auto shared = [](const std::string& names) { return R"({"WeaponsUsedByAllFactions": [)" + names + "]}"; };
    auto models = [](const std::string& names) {
        return R"({"Factions": [{"MemberModels": [)" + names + "]}]}";
    };
    const std::vector<Case> cases = {
        {"misspelt weapon",
         shared(R"("WEAPON_SMG", "WEAPON_PISTLO")"),
         CheckKeysIgnored,
         {"loads, but 1 name is not the game's",
          R"(line 1, column 45: "WeaponsUsedByAllFactions[1]": "WEAPON_PISTLO" is not a weapon of the game: did you mean "WEAPON_PISTOL"?)",
          "The game arms nobody with a weapon it does not have"}},
        {"trailing blank",
         shared(R"("WEAPON_PISTOL ")"),
         CheckKeysIgnored,
         {R"("WEAPON_PISTOL " is not a weapon of the game: did you mean "WEAPON_PISTOL"?)"}},
        {"no prefix", shared(R"("PISTOL")"), CheckKeysIgnored, {R"(did you mean "WEAPON_PISTOL"?)"}},
        {"misspelt model",
         models(R"("g_m_y_balaorig_01")"),
         CheckKeysIgnored,
         {R"(is not a ped model of the game: did you mean "g_m_y_ballaorig_01"?)"}},
        {"letters in any case",
         R"({"PedWeapons": ["weapon_pistol", "Weapon_Smg"], "Factions": [{"MemberModels": ["G_M_Y_FAMCA_01"]}]})",
         CheckLoaded,
         {},
         {"Names the game", "Notes"}},
        {"add-on model",
         models(R"("my_addon_ped_01")"),
         CheckLoaded,
         {"Notes\n",
          R"("my_addon_ped_01" is not a ped model of the base game, nor close to one: fine if another mod adds it)"}},
        {"the unused list is not judged",
         R"({"WeaponsUsedByAllFactions": ["WEAPON_SMG"], "PedWeapons": ["WEAPON_PISTLO"]})",
         CheckKeysIgnored,
         {"1 key changed nothing"},
         {"WEAPON_PISTLO\" is not"}},
        {"names after the end are not judged",
         R"({"PedWeapons": ["WEAPON_PISTLO", [], "WEAPON_SMGG"]})",
         CheckLoadEnded,
         {R"(did you mean "WEAPON_PISTOL"?)"},
         {"WEAPON_SMGG\" is not"}},
    };
    RunCases(cases);
}

TEST(CheckTextTest, PositionsCountLinesAsTheParserDoes) {
    struct Case {
        std::string text;
        std::ptrdiff_t offset;
        const char* at;
    };
    const Case cases[] = {
        {"abc", 0, "line 1, column 1"},       {"abc", 2, "line 1, column 3"},
        {"a\nb", 2, "line 2, column 1"},      {"a\r\nb", 3, "line 2, column 1"},
        {"a\rb", 2, "line 2, column 1"},      {"a\r\n\r\nb", 5, "line 3, column 1"},
        {"\xC3\xA9x", 2, "line 1, column 2"}, {"\xE2\x82\xAC\xE2\x82\xACx", 6, "line 1, column 3"},
        {"ab", 99, "line 1, column 3"},       {"x", -1, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LineIndex(c.text).At(c.offset), c.at) << c.text << " @" << c.offset;
}

// Every config the project holds elsewhere (the fuzz corpus, the players' example): the report tells the
// game's own load of each of them.
TEST_F(CheckTest, AgreesWithTheGameOnEveryConfigTheProjectHolds) {
    const std::filesystem::path root(SKIRMORA_SOURCE_DIR);
    std::vector<std::filesystem::path> files = {root / "examples" / "Skirmora_config.txt"};
    for (const auto& entry :
         std::filesystem::directory_iterator(root / "tests" / "fuzz" / "corpus" / "loader"))
        files.push_back(entry.path());
    ASSERT_GT(files.size(), 5u);
    for (const std::filesystem::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        const std::string what = file.filename().string();
        const auto checked = Check(bytes.str());
        EXPECT_NE(checked.status, CheckCannotRun) << what << ": " << checked.errors;
        const GameLoad game = LoadInGame();
        ExpectReportTells(checked.report, game, what);
        ExpectLogTells(checked.report, game.log, what);
    }
}
