// skirmora-sim run end to end: the real script in the world where the riot plays out.
#include <gtest/gtest.h>

#include <sstream>

#include "app/run/RiotRun.h"
#include "app/run/Scenario.h"
#include "tests/support/TempDir.h"

namespace {

const std::string Examples = std::string(SKIRMORA_SOURCE_DIR) + "/examples/";

int64_t Released(const TimelineRow& row, CullReason reason) {
    return row.released[static_cast<int>(reason)];
}

TEST(RiotRun, TheExampleRiotFillsFightsReleasesAndRefills) {
    const Scenario scenario = ReadScenario(Examples + "downtown.json");
    const RiotResult result = PlayRiot(scenario, Examples + "Skirmora_config.txt");
    ASSERT_TRUE(result.faults.empty()) << result.faults.front();
    ASSERT_EQ(result.recording.rows.size(), 18u) << "90 s in rows of 5 s";
    ASSERT_EQ(result.recording.factionNames.size(), 3u);

    // Every faction reaches its cap (10, 10, 6) at some row, and the total never passes MaxRioters (24).
    const int caps[] = {10, 10, 6};
    for (size_t k = 0; k < 3; ++k) {
        int most = 0;
        for (const TimelineRow& row : result.recording.rows)
            if (row.members.size() == 3) most = std::max(most, row.members[k]);
        EXPECT_EQ(most, caps[k]) << "faction " << k;
    }
    EXPECT_LE(result.recording.totals.peakRioters, 24);

    int64_t dead = 0, tooFar = 0, fighting = 0, againstPlayer = 0;
    bool refilled = false;
    for (size_t r = 0; r < result.recording.rows.size(); ++r) {
        const TimelineRow& row = result.recording.rows[r];
        dead += Released(row, CullReason::FailedPedCheck);
        tooFar += Released(row, CullReason::TooFar);
        fighting += row.fightingRioters;
        againstPlayer += row.fightingPlayer;
        if (r > 0 && Released(result.recording.rows[r - 1], CullReason::FailedPedCheck) > 0 &&
            row.recruited > 0)
            refilled = true;
    }
    EXPECT_GT(dead, 10) << "rioters kill each other";
    EXPECT_GT(tooFar, 0) << "the drive leaves rioters behind";
    EXPECT_GT(fighting, 0);
    EXPECT_GT(againstPlayer, 0);
    EXPECT_TRUE(refilled) << "the dead are replaced";

    // The drive (30-40 s) is where rioters fall behind; on foot nobody does.
    for (const TimelineRow& row : result.recording.rows)
        if (row.to <= 30.0 || row.from >= 45.0) {
            EXPECT_EQ(Released(row, CullReason::TooFar), 0) << row.from;
        }

    // The toggle at 80 s turns the mode off: the reload drops the roster and nobody is recruited again.
    const TimelineRow& last = result.recording.rows.back();
    EXPECT_FALSE(last.modeOn);
    EXPECT_EQ(last.recruited, 0);
    EXPECT_TRUE(result.recording.rows[15].modeOn);
    EXPECT_GE(result.recording.totals.playerDeaths, 1) << "the planned death at 60 s";

    // Counting holds together: what came in either left, was dropped, or is still there.
    int64_t released = 0;
    for (int64_t count : result.recording.totals.released)
        released += count;
    EXPECT_EQ(result.recording.totals.recruited, released + result.recording.totals.dropped);

    ASSERT_EQ(result.recording.maps.size(), 6u);
    EXPECT_DOUBLE_EQ(result.recording.maps[0].seconds, 8.0);
    EXPECT_FALSE(result.recording.maps[0].rioters.empty());
    EXPECT_EQ(result.recording.chart.size(), 181u) << "a sample every half second, both ends included";
}

TEST(RiotRun, ASeedGivesTheSameTraceAndAnotherSeedAnotherRiot) {
    Scenario scenario = ReadScenario(Examples + "downtown.json");
    scenario.seconds = 30.0;
    auto play = [&](uint64_t seed, std::string* trace) {
        scenario.world.seed = seed;
        std::ostringstream out;
        RiotOutputs outputs;
        outputs.trace = &out;
        const RiotResult result = PlayRiot(scenario, Examples + "Skirmora_config.txt", outputs);
        *trace = out.str();
        return result.recording.totals;
    };
    std::string first, second, other;
    const Totals a = play(7, &first);
    const Totals b = play(7, &second);
    const Totals c = play(8, &other);
    EXPECT_GT(first.size(), 10000u);
    EXPECT_EQ(first, second);
    EXPECT_EQ(a.hits, b.hits);
    EXPECT_NE(first, other);
    EXPECT_NE(a.hits, c.hits);
}

TEST(RiotRun, WithoutAConfigTheBuiltInFactionFightsAndRunsOfAnyFrameTimeKeepTheClock) {
    for (double frameMs : {16.667, 33.0, 1000.0 / 60.0}) {
        Scenario scenario = BuiltInScenario();
        scenario.seconds = 20.0;
        scenario.frameMs = frameMs;
        std::ostringstream trace;
        RiotOutputs outputs;
        outputs.trace = &trace;
        const RiotResult result = PlayRiot(scenario, "", outputs);
        ASSERT_TRUE(result.faults.empty());
        EXPECT_EQ(result.recording.factionNames.size(), 1u);
        EXPECT_EQ(result.recording.rows.back().members.at(0), 20)
            << "the default faction fills to MaxRioters";
        const std::string text = trace.str();
        const std::string lastLine = text.substr(text.rfind('\n', text.size() - 2) + 1);
        const int64_t tick = std::stoll(lastLine.substr(lastLine.find(' ') + 1));
        EXPECT_NEAR(static_cast<double>(tick), 20000.0 - frameMs, frameMs + 1.0) << "frame time " << frameMs;
    }
}

TEST(RiotRun, AModelThatNeverLoadsAndFailedSpawnsStillGiveAFullRoster) {
    Scenario scenario = BuiltInScenario();
    scenario.seconds = 40.0;
    scenario.failingSpawns = {0, 1, 2};
    scenario.neverLoadingModels = {"g_m_y_famca_01", "g_m_y_famfor_01"};
    const RiotResult result = PlayRiot(scenario, Examples + "Skirmora_config.txt");
    ASSERT_TRUE(result.faults.empty());
    int64_t vanished = 0;
    int most = 0;
    for (const TimelineRow& row : result.recording.rows) {
        vanished += Released(row, CullReason::Gone);
        most = std::max(most, row.members.at(1));
    }
    EXPECT_EQ(most, 10) << "random peds stand in for the family, each after a second of waiting";
    EXPECT_GE(vanished, 3) << "the three handle-0 spawns are released as vanished";
}

TEST(RiotRun, AStoppedGameDayKeepsWhatItPlayedInRowsForADay) {
    Scenario scenario = BuiltInScenario();
    scenario.seconds = 86400.0;
    int64_t calls = 0;
    const RiotResult result = PlayRiot(scenario, "", {}, [&](const RiotProgress& p) {
        ++calls;
        return p.seconds < 610.0;
    });
    ASSERT_TRUE(result.stoppedEarly);
    EXPECT_EQ(result.frames, 240 * calls) << "the run ends at the call that said stop";
    EXPECT_NEAR(result.seconds, 612.0, 0.1);
    // A day in rows of 120 s (at most 720 rows), the last one cut short where the run stopped.
    ASSERT_EQ(result.recording.rows.size(), 6u);
    EXPECT_DOUBLE_EQ(result.recording.rows[1].from, 120.0);
    EXPECT_DOUBLE_EQ(result.recording.rows.back().to, result.seconds);
    EXPECT_GT(result.recording.totals.recruited, 20);
    EXPECT_EQ(result.recording.maps.size(), 0u) << "the first map was due at 4 h";
    EXPECT_LE(result.recording.chart.size(), 20u) << "a chart point every 43.5 s";
}

TEST(RiotRun, EveryRowAddsUpFromTheRosterItFollows) {
    struct Case {
        const char* name;
        std::string config;
        Scenario scenario;
        double seconds;
        double stopAt;  // a stop inside a row, as Ctrl+C makes one; 0: none
    };
    Scenario oneHundred = BuiltInScenario();
    oneHundred.seconds = 600.0;
    const std::string examples = Examples + "Skirmora_config.txt";
    const Case cases[] = {
        {"the example config with one press", examples, BuiltInScenario(), 5.0, 0.0},
        {"a run ending inside a row", examples, BuiltInScenario(), 5.02, 0.0},
        {"a half second's run", "", BuiltInScenario(), 4.5, 0.0},
        {"downtown, with the press that drops the roster", examples, ReadScenario(Examples + "downtown.json"),
         90.0, 0.0},
        {"100 rioters for ten minutes", "hundred.txt", oneHundred, 600.0, 0.0},
        {"stopped inside a row", examples, BuiltInScenario(), 60.0, 37.0},
    };
    TempDir dir;
    dir.Write("hundred.txt", R"({"MaxRioters": 100, "Factions": [{"MaxMembers": 40}, {"MaxMembers": 40},
                                {"MaxMembers": 40, "WillAttackSelf": true}]})");
    for (Case c : cases) {
        SCOPED_TRACE(c.name);
        c.scenario.seconds = c.seconds;
        const RiotResult result = PlayRiot(c.scenario, c.config, {}, [&](const RiotProgress& p) {
            return c.stopAt == 0.0 || p.seconds < c.stopAt;
        });
        const Recording& recording = result.recording;
        Totals sums;
        std::vector<int> members;
        for (const TimelineRow& row : recording.rows) {
            int64_t released = 0, before = 0, after = 0;
            for (size_t k = 0; k < row.members.size(); ++k) {
                before += k < members.size() ? members[k] : 0;
                after += row.members[k];
            }
            for (int k = 0; k < static_cast<int>(CullReason::Count); ++k) {
                released += row.released[k];
                sums.released[k] += row.released[k];
            }
            EXPECT_EQ(before + row.recruited - released - row.dropped, after)
                << "the row ending at " << row.to;
            sums.recruited += row.recruited;
            sums.dropped += row.dropped;
            members = row.members;
        }
        EXPECT_EQ(sums.recruited, recording.totals.recruited);
        EXPECT_EQ(sums.dropped, recording.totals.dropped);
        for (int k = 0; k < static_cast<int>(CullReason::Count); ++k)
            EXPECT_EQ(sums.released[k], recording.totals.released[k]);
        if (c.scenario.presses.size() == 1) {
            EXPECT_EQ(recording.totals.dropped, 0) << "a single press reloads an empty roster";
        }
        EXPECT_DOUBLE_EQ(recording.rows.back().to, result.seconds);
    }
}

}  // namespace
