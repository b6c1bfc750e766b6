// The scenario reader: what a file sets, and what it says about a broken one.
#include <gtest/gtest.h>

#include "app/run/Scenario.h"
#include "tests/support/TempDir.h"

namespace {

TEST(ScenarioReader, ReadsEveryKeyAndKeepsTheBuiltInValuesOfTheRest) {
    const Scenario s = ParseScenario(R"({
        // comments are fine
        "name": "test", "seconds": 12.5, "frameMs": 20, "seed": 9, "clockStart": 4294967000,
        "presses": [2, {"at": 3.5, "key": "F6"}], "snapshots": [1, 4],
        "player": {"path": [{"at": 0, "x": 1, "y": 2}, {"at": 5, "x": 3, "y": 4}], "vehicle": [{"from": 1, "to": 2}],
                   "deaths": [3], "health": 50, "respawnSeconds": 2},
        "world": {"modelLoadPolls": 4, "neverLoadingModels": ["a_m_y_hipster_01"], "failingSpawns": [0, 3],
                  "safeCoordFailures": [{"from": 0, "to": 1}], "groundZ": 30.5, "vanishPerMinute": 1},
        "fight": {"runSpeed": 2, "gunRange": 10, "meleeRange": 1, "attackSeconds": 2, "gunDamage": 5,
                  "meleeDamage": 1, "pedHealth": 50}
    })",
                                     "t.json");
    EXPECT_EQ(s.name, "test");
    EXPECT_DOUBLE_EQ(s.seconds, 12.5);
    EXPECT_DOUBLE_EQ(s.frameMs, 20.0);
    EXPECT_EQ(s.world.seed, 9u);
    EXPECT_EQ(s.clockStart, 4294967000u);
    ASSERT_EQ(s.presses.size(), 2u);
    EXPECT_EQ(s.presses[0].key, 0) << "a bare moment presses the toggle key in force";
    EXPECT_EQ(s.presses[1].key, 0x75);
    EXPECT_DOUBLE_EQ(s.presses[1].seconds, 3.5);
    EXPECT_EQ(s.snapshots, (std::vector<double>{1, 4}));
    ASSERT_EQ(s.world.player.path.size(), 2u);
    EXPECT_FLOAT_EQ(s.world.player.path[1].y, 4.0f);
    EXPECT_DOUBLE_EQ(s.world.player.vehicle.at(0).to, 2.0);
    EXPECT_EQ(s.world.player.deaths, (std::vector<double>{3}));
    EXPECT_FLOAT_EQ(s.world.player.health, 50.0f);
    EXPECT_DOUBLE_EQ(s.world.player.respawnSeconds, 2.0);
    EXPECT_EQ(s.modelLoadPolls, 4);
    EXPECT_EQ(s.neverLoadingModels, (std::vector<std::string>{"a_m_y_hipster_01"}));
    EXPECT_EQ(s.failingSpawns, (std::vector<int64_t>{0, 3}));
    EXPECT_EQ(s.world.safeCoordFailures.size(), 1u);
    EXPECT_FLOAT_EQ(s.groundZ, 30.5f);
    EXPECT_FLOAT_EQ(s.world.rules.vanishPerMinute, 1.0f);
    EXPECT_FLOAT_EQ(s.world.rules.runSpeed, 2.0f);
    EXPECT_FLOAT_EQ(s.world.rules.pedHealth, 50.0f);

    const Scenario empty = ParseScenario("{}", "e.json");
    const Scenario builtIn = BuiltInScenario();
    EXPECT_DOUBLE_EQ(empty.seconds, builtIn.seconds);
    EXPECT_EQ(empty.world.player.path.size(), builtIn.world.player.path.size());
    EXPECT_EQ(empty.presses.size(), 1u);
    EXPECT_DOUBLE_EQ(empty.presses[0].seconds, 1.0);
    EXPECT_EQ(empty.name, "e.json") << "a scenario without a name is called after its file";
}

TEST(ScenarioReader, SaysWhatIsWrongAndWhere) {
    struct Case {
        std::string text;
        std::string message;
    } cases[] = {
        {"{\n \"seconds\": \"long\"\n}", "s.json:2: \"seconds\" must be a number"},
        {"{\"seconds\": 0}", "\"seconds\" must be from 0.001 to 86400"},
        {"{\"seconds\": 1e400}", "s.json: not valid JSON: Line 1, Column 13 '1e400' is not a number"},
        {"{\n\n \"secnds\": 5}",
         "s.json:3: \"secnds\" is not a scenario key; the keys here are name, seconds"},
        {"{\"seed\": -1}", "\"seed\" must be a whole number from 0 to 18446744073709551615"},
        {"{\"seed\": 1.5}", "\"seed\" must be a whole number"},
        {"{\"seed\": 18446744073709551616}",
         "\"seed\" must be a whole number from 0 to 18446744073709551615"},
        {"/* never closed",
         "s.json: not valid JSON: Line 1, Column 1 Syntax error: value, object or array expected."},
        {"{\"player\": {\"path\": \"[[\", \"deaths\": // [[[\n" + std::string(999, '[') +
             std::string(999, ']') + "}}",
         "s.json: not valid JSON: Line 2, Column 998 nests arrays and objects more than 999 deep"},
        {"{\"player\": {\"deaths\": " + std::string(997, '[') + std::string(997, ']') + "}}",
         "s.json:1: \"player.deaths[0]\" must be a number"},
        {"{\"clockStart\": 4294967296}", "\"clockStart\" must be from 0 to 4294967295"},
        {"{\"frameMs\": true}", "\"frameMs\" must be a number"},
        {"{\"presses\": 3}", "\"presses\" must be an array"},
        {"{\"presses\": [5, 2]}", "\"presses[1]\" comes before the press above it"},
        {"{\"presses\": [{\"at\": 1, \"key\": \"f7\"}]}", "\"presses[0].key\" is not a key name"},
        {"{\"presses\": [{\"when\": 1}]}",
         "\"presses[0].when\" is not a scenario key; the keys here are at, key"},
        {"{\"player\": {\"path\": []}}", "\"player.path\" must hold at least one point"},
        {"{\"player\": {\"path\": [{\"at\": 0, \"x\": 0, \"y\": 0}, {\"at\": 0, \"x\": 1, \"y\": 0}]}}",
         "\"player.path[1].at\" must come after the point before it"},
        {"{\"player\": {\"path\": [{\"at\": 0, \"x\": 0}]}}", "\"player.path[0].y\" must be a number"},
        {"{\"player\": {\"vehicle\": [{\"from\": 5, \"to\": 2}]}}",
         "\"player.vehicle[0].to\" must be from 5"},
        {"{\"player\": []}", "\"player\" must be an object"},
        {"{\"world\": {\"neverLoadingModels\": [1]}}", "\"world.neverLoadingModels[0]\" must be a text"},
        {"{\"world\": {\"failingSpawns\": [-2]}}", "\"world.failingSpawns[0]\" must be from 0"},
        {"{\"fight\": {\"gunRange\": 0}}", "\"fight.gunRange\" must be from 0.1"},
        {"{\"seconds\": 5 \"seed\": 1}", "s.json: not valid JSON: Line 1, Column 15"},
        {"{\"seconds\": 5, \"seconds\": 6}", "s.json: not valid JSON: Line 1, Column 16"},
        {"[1]", "s.json: a scenario is one JSON object"},
        {"{} {}", "s.json: not valid JSON"},
        {"", "s.json: not valid JSON"},
    };
    for (const Case& c : cases) {
        try {
            ParseScenario(c.text, "s.json");
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const ScenarioError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos)
                << "for " << c.text << "\n said: " << error.what();
            EXPECT_EQ(std::string(error.what()).find("* Line"), std::string::npos) << "an error said twice";
        }
    }
}

TEST(ScenarioReader, ReadsFilesInBinaryAndNamesAMissingOne) {
    TempDir dir;
    dir.Write("crlf.json", "{\r\n  \"seconds\": 7,\r\n  \"seed\": \"x\"\r\n}\r\n");
    try {
        ReadScenario("crlf.json");
        ADD_FAILURE() << "accepted a text seed";
    } catch (const ScenarioError& error) {
        EXPECT_STREQ(error.what(),
                     "crlf.json:3: \"seed\" must be a whole number from 0 to 18446744073709551615");
    }
    try {
        ReadScenario("missing.json");
        ADD_FAILURE() << "read a missing file";
    } catch (const ScenarioError& error) {
        EXPECT_STREQ(error.what(), "missing.json: cannot read the scenario: No such file or directory");
    }
}

}  // namespace
