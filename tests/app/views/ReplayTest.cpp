// run --html: what the replay records agrees with the run's own timeline and totals, and the page holds it
// all.
#include <gtest/gtest.h>
#include <json/json.h>

#include <algorithm>
#include <map>
#include <memory>

#include "app/run/RiotRun.h"
#include "app/run/Scenario.h"
#include "app/views/Replay.h"

namespace {

const std::string Examples = std::string(SKIRMORA_SOURCE_DIR) + "/examples/";

// Members per faction in the roster at a sample, counted from the tracks.
std::vector<int> MembersAt(const ReplaySamples& recording, int32_t sample, size_t factions) {
    std::vector<int> members(factions, 0);
    for (const ReplayTrack& track : recording.tracks) {
        const int32_t end = track.end < 0 ? static_cast<int32_t>(recording.times.size()) : track.end;
        if (track.start <= sample && sample < end) ++members.at(static_cast<size_t>(track.faction));
    }
    return members;
}

TEST(Replay, TheExampleRiotsTracksMatchItsTimelineAndTotals) {
    RiotOutputs outputs;
    outputs.replaySamples = true;
    const RiotResult result =
        PlayRiot(ReadScenario(Examples + "downtown.json"), Examples + "Skirmora_config.txt", outputs);
    const ReplaySamples& recording = result.recording.replay;
    const Totals& totals = result.recording.totals;

    // Ten samples a game second, the last at the run's end.
    ASSERT_EQ(recording.times.front(), 0);
    EXPECT_EQ(recording.times.back(), static_cast<int32_t>(result.recording.rows.back().to * 1000.0 + 0.5));
    for (size_t k = 1; k < recording.times.size(); ++k)
        ASSERT_TRUE(recording.times[k] - recording.times[k - 1] >= 80 &&
                    recording.times[k] - recording.times[k - 1] <= 120)
            << "sample " << k << " at " << recording.times[k] << " ms";
    EXPECT_EQ(recording.playerX.size(), recording.times.size());

    // Every row's members at its end, at the sample taken on the same frame: the first to reach its end.
    for (const TimelineRow& row : result.recording.rows) {
        const int32_t ms = static_cast<int32_t>(row.to * 1000.0 + 0.5);
        auto at = std::lower_bound(recording.times.begin(), recording.times.end(), ms);
        ASSERT_NE(at, recording.times.end()) << "no sample at " << ms << " ms";
        EXPECT_EQ(
            MembersAt(recording, static_cast<int32_t>(at - recording.times.begin()), row.members.size()),
            row.members)
            << "at " << row.to << " s";
    }

    // One track per recruit; each ends as the script said it released it, the rest dropped at the reload.
    EXPECT_EQ(static_cast<int64_t>(recording.tracks.size()), totals.recruited);
    int64_t ends[static_cast<int>(TrackEnd::Count)] = {};
    for (const ReplayTrack& track : recording.tracks) {
        ++ends[static_cast<int>(track.reason)];
        const size_t end = track.end < 0 ? recording.times.size() : static_cast<size_t>(track.end);
        if (track.handle != 0) {
            EXPECT_EQ(track.x.size(), end - static_cast<size_t>(track.start)) << "track " << track.handle;
        }
        if (track.reason == TrackEnd::Dead) {
            EXPECT_GE(track.death, 0) << "track " << track.handle;
        }
    }
    const auto released = [&](CullReason reason) { return totals.released[static_cast<int>(reason)]; };
    EXPECT_EQ(ends[static_cast<int>(TrackEnd::Dead)], released(CullReason::FailedPedCheck));
    EXPECT_EQ(ends[static_cast<int>(TrackEnd::Vanished)], released(CullReason::Gone));
    EXPECT_EQ(ends[static_cast<int>(TrackEnd::TooFar)], released(CullReason::TooFar));
    EXPECT_EQ(ends[static_cast<int>(TrackEnd::Dropped)], totals.dropped);
    EXPECT_GT(totals.dropped, 0) << "the example's second press drops the roster";

    // Weapons are named as the config names them.
    ASSERT_FALSE(result.recording.weaponNames.empty());
    for (const std::string& name : result.recording.weaponNames)
        EXPECT_EQ(name.rfind("WEAPON_", 0), 0u) << name;

    // Each ped of its faction's models; a random pedestrian where the faction names none (F2), or where the
    // model drawn for it never loads (F1's g_m_y_famfor_01).
    const std::vector<std::vector<std::string>> models = {
        {"g_m_y_ballaorig_01", "g_m_y_ballasout_01"}, {"g_m_y_famca_01"}, {}};
    int64_t randomInstead = 0;
    for (const ReplayTrack& track : recording.tracks) {
        if (track.handle == 0) continue;
        const std::vector<std::string>& own = models.at(static_cast<size_t>(track.faction));
        randomInstead += track.modelFailed;
        EXPECT_EQ(track.modelFailed, track.faction == 1 && track.model < 0) << "track " << track.handle;
        if (track.model >= 0)
            EXPECT_NE(
                std::find(own.begin(), own.end(), recording.modelNames.at(static_cast<size_t>(track.model))),
                own.end())
                << "track " << track.handle;
        else
            EXPECT_TRUE(own.empty() || track.modelFailed) << "track " << track.handle;
    }
    EXPECT_GT(randomInstead, 0);

    // Who killed whom: every rioter seen dead was killed by a rioter that had it as its target by then.
    std::map<int32_t, const ReplayTrack*> byHandle;
    for (const ReplayTrack& track : recording.tracks)
        byHandle[track.handle] = &track;
    int64_t killed = 0;
    for (const ReplayTrack& track : recording.tracks) {
        if (track.death < 0) continue;
        ++killed;
        auto killer = byHandle.find(track.killer);
        ASSERT_NE(killer, byHandle.end()) << "the killer of " << track.handle;
        const std::vector<int32_t>& aims = killer->second->targets;
        bool aimed = false;
        for (size_t k = 0; k + 1 < aims.size(); k += 2)
            aimed = aimed || (aims[k + 1] == track.handle && aims[k] <= track.death);
        EXPECT_TRUE(aimed) << track.killer << " killed " << track.handle;
    }
    EXPECT_GT(killed, 0);

    // The scenario's two presses of the toggle key, on and off, each in its frame.
    ASSERT_EQ(recording.presses.size(), 2u);
    for (size_t k = 0; k < 2; ++k) {
        EXPECT_NEAR(recording.presses[k].ms, k ? 80000 : 1000, 17);
        EXPECT_TRUE(recording.presses[k].toggle);
    }
}

// The factions' table that run prints is what the page counts from the tracks; before the example's reload
// drops the roster, every attack, hit and kill of the run is a member's.
TEST(Replay, TheFactionsScoresAreTheTracksAndAddUpToTheTotals) {
    for (const double seconds : {79.0, 90.0}) {
        Scenario scenario = ReadScenario(Examples + "downtown.json");
        scenario.seconds = seconds;
        RiotOutputs outputs;
        outputs.replaySamples = true;
        const RiotResult result = PlayRiot(scenario, Examples + "Skirmora_config.txt", outputs);
        const Recording& recording = result.recording;
        std::vector<FactionScore> counted(recording.factions.size());
        const int32_t endMs = static_cast<int32_t>(seconds * 1000);
        for (const ReplayTrack& track : recording.replay.tracks) {
            FactionScore& own = counted.at(static_cast<size_t>(track.faction));
            ++own.recruited;
            own.members += track.endMs < 0;
            own.deaths += track.deathMs >= 0;
            own.weapons.resize(1);
            own.weapons[0].handed += static_cast<int64_t>(track.weapons.size() / 2);
            const int64_t life = (track.deathMs >= 0 ? track.deathMs
                                  : track.endMs >= 0 ? track.endMs
                                                     : endMs) -
                                 track.startMs;
            own.lifeMs += life;
            own.longestLifeMs = std::max(own.longestLifeMs, life);
            if (track.killerFaction >= 0) ++counted.at(static_cast<size_t>(track.killerFaction)).kills;
        }
        int64_t attacks = 0, hits = 0, kills = 0;
        for (size_t k = 0; k < counted.size(); ++k) {
            const FactionScore& score = recording.factions[k];
            int64_t handed = 0, weaponKills = 0;
            for (const WeaponScore& weapon : score.weapons) {
                handed += weapon.handed;
                weaponKills += weapon.kills;
            }
            EXPECT_EQ(std::vector<int64_t>({score.members, score.recruited, score.kills, score.deaths, handed,
                                            weaponKills, score.lifeMs, score.longestLifeMs}),
                      std::vector<int64_t>({counted[k].members, counted[k].recruited, counted[k].kills,
                                            counted[k].deaths, counted[k].weapons[0].handed, counted[k].kills,
                                            counted[k].lifeMs, counted[k].longestLifeMs}))
                << "F" << k << " in " << seconds << " s";
            attacks += score.attacks;
            hits += score.hits;
            kills += score.kills;
        }
        const Totals& totals = recording.totals;
        EXPECT_EQ(recording.fights.back().ms, endMs);
        if (seconds < 80) {
            EXPECT_EQ(std::vector<int64_t>({attacks, hits, kills}),
                      std::vector<int64_t>({totals.attacks, totals.hits, totals.pedDeaths}));
        } else {
            EXPECT_LT(attacks, totals.attacks) << "the dropped rioters fight on";
        }
    }
}

// The run plays no frame at its end: the default press at 1 s of a 1-second run is left out, as run says.
TEST(Replay, APressAtTheRunsEndIsLeftOut) {
    Scenario scenario = BuiltInScenario();
    scenario.seconds = 1.0;
    ASSERT_EQ(scenario.presses.size(), 1u);
    RiotOutputs outputs;
    outputs.replaySamples = true;
    EXPECT_TRUE(PlayRiot(scenario, "", outputs).recording.replay.presses.empty());
    scenario.seconds = 1.1;
    EXPECT_EQ(PlayRiot(scenario, "", outputs).recording.replay.presses.size(), 1u);
}

TEST(Replay, ThePageHoldsItsScriptStyleAndDataAsValidJsonWhateverTheNames) {
    Scenario scenario = BuiltInScenario();
    scenario.seconds = 8.0;
    RiotOutputs outputs;
    outputs.replaySamples = true;
    RiotResult result = PlayRiot(scenario, "", outputs);
    ReplayFacts facts;
    facts.scenario =
        "riot </script><b>\"bold\"\\ \xC3\xA9 \xF0\x9F\x94\xA5 \xFF\xC3";  // markup, UTF-8, broken bytes
    result.recording.factionNames = {"F0 <&>"};
    facts.seed = UINT64_MAX;
    const std::string page = ReplayHtml(result.recording, facts);

    for (const char* leftover :
         {"href=\"replay.css\"", "src=\"replay.js\"", "src=\"reader.js\"", ">null</script>"})
        EXPECT_EQ(page.find(leftover), std::string::npos) << leftover;
    EXPECT_NE(page.find("window.replay"), std::string::npos);
    EXPECT_NE(page.find("#chart-marker"), std::string::npos);
    for (unsigned char c : page)
        ASSERT_LT(c, 0x80) << "the page is ASCII";

    // The head, then the parts of the tracks, each valid JSON on its own.
    std::unique_ptr<Json::CharReader> reader(Json::CharReaderBuilder().newCharReader());
    std::vector<Json::Value> scripts;
    const std::string open = "type=\"application/json\">";
    for (size_t from = page.find(open); from != std::string::npos; from = page.find(open, from)) {
        from += open.size();
        const std::string json = page.substr(from, page.find("</script>", from) - from);
        std::string errors;
        ASSERT_TRUE(reader->parse(json.data(), json.data() + json.size(), &scripts.emplace_back(), &errors))
            << errors;
    }
    ASSERT_GE(scripts.size(), 2u);
    const Json::Value& data = scripts.front();
    EXPECT_EQ(data["facts"]["scenario"].asString(),
              "riot </script><b>\"bold\"\\ \xC3\xA9 \xF0\x9F\x94\xA5 \xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(data["facts"]["seed"].asString(), "18446744073709551615");
    EXPECT_EQ(data["factions"][0].asString(), "F0 <&>");
    EXPECT_EQ(data["times"].size(), result.recording.replay.times.size());
    EXPECT_EQ(data["partCount"].asUInt64(), scripts.size() - 1);
    size_t tracks = 0;
    for (size_t k = 1; k < scripts.size(); ++k)
        tracks += scripts[k].size();
    EXPECT_EQ(tracks, result.recording.replay.tracks.size());
    EXPECT_EQ(data["trackCount"].asUInt64(), tracks);
}

}  // namespace
