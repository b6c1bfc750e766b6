#include "app/RiotRun.h"

#include <algorithm>
#include <cmath>

#include <fmt/core.h>

#include "config/Settings.h"
#include "riot/Roster.h"
#include "script/ScriptMain.h"
#include "script/ScriptState.h"
#include "script/StatusText.h"
#include "sim/Fight.h"
#include "sim/Simulation.h"

namespace {

constexpr int PressFrames = 3;

// A row every 5 s and a chart point every 0.5 s, coarser in long runs: the timeline stays readable and the
// recording as small for a game day as for an hour.
constexpr double MaxRows = 720;
constexpr double MaxChartSamples = 2000;

double Interval(double step, double seconds, double most) {
    return step * std::max(1.0, std::ceil(seconds / (step * most)));
}

// Milliseconds of game time from the start to frame n: whole milliseconds, however the frame time divides.
int64_t ElapsedMs(double frameMs, int64_t frame) {
    return static_cast<int64_t>(std::floor(static_cast<double>(frame) * frameMs));
}

bool ModeOn() {
    return StatusText.Text == "Skirmora enabled";
}

class Recorder {
  public:
    Recorder(const Scenario& scenario, RiotResult& result)
        : result_(result),
          rowSeconds_(Interval(5.0, scenario.seconds, MaxRows)),
          chartSeconds_(Interval(0.5, scenario.seconds, MaxChartSamples)) {
        snapshots_ = scenario.snapshots;
        if (snapshots_.empty())
            for (int k = 1; k <= 6; ++k)
                snapshots_.push_back(scenario.seconds * k / 6.0);
    }

    // Sees the world as the previous frame left it.
    void Observe(const World& world, const LivingWorld& living, double seconds, bool last) {
        int rioters = 0;
        for (const Faction& faction : FactionList)
            rioters += static_cast<int>(faction.Members.size());
        result_.totals.peakRioters = std::max(result_.totals.peakRioters, rioters);
        while (chartNext_ <= seconds + 1e-9) {
            ChartSample sample;
            sample.seconds = chartNext_;
            for (const Faction& faction : FactionList)
                sample.members.push_back(static_cast<int>(faction.Members.size()));
            result_.pictures.chart.push_back(std::move(sample));
            chartNext_ += chartSeconds_;
        }
        while (nextSnapshot_ < snapshots_.size() && snapshots_[nextSnapshot_] <= seconds + 1e-9) {
            result_.pictures.maps.push_back(Map(world, seconds));
            ++nextSnapshot_;
        }
        if (seconds + 1e-9 >= rowStart_ + rowSeconds_ || (last && seconds > rowStart_)) {
            result_.rows.push_back(Row(world, living, seconds, rioters));
            rowStart_ = seconds;
        }
        if (last) Finish(living);
    }

  private:
    TimelineRow Row(const World& world, const LivingWorld& living, double seconds, int rioters) {
        TimelineRow row;
        row.from = rowStart_;
        row.to = seconds;
        for (const Faction& faction : FactionList) {
            row.members.push_back(static_cast<int>(faction.Members.size()));
            for (const Rioter& rioter : faction.Members) {
                const SimPed* ped = world.FindPed(rioter.Ped);
                if (!ped || !ped->exists || !ped->alive || ped->combatTarget == 0) continue;
                if (ped->combatTarget == world.playerPed) {
                    ++row.fightingPlayer;
                } else {
                    ++row.fightingRioters;
                }
            }
        }
        row.recruited = world.spawns.made - spawnsSeen_;
        spawnsSeen_ = world.spawns.made;
        int64_t released = 0;
        for (int k = 0; k < ReleaseReasonCount; ++k) {
            row.released[k] = world.releases[k] - releasesSeen_[k];
            releasesSeen_[k] = world.releases[k];
            released += row.released[k];
        }
        row.dropped = rioterCount_ + row.recruited - released - rioters;
        rioterCount_ = rioters;
        row.playerDeaths = living.Tally().playerDeaths - playerDeathsSeen_;
        playerDeathsSeen_ = living.Tally().playerDeaths;
        row.modeOn = ModeOn();
        row.player = world.playerDead ? "dead" : world.playerInVehicle ? "in a vehicle" : "on foot";
        return row;
    }

    MapSnapshot Map(const World& world, double seconds) const {
        MapSnapshot map;
        map.seconds = seconds;
        map.playerX = world.playerPosition.x;
        map.playerY = world.playerPosition.y;
        map.playerInVehicle = world.playerInVehicle;
        map.playerDead = world.playerDead;
        map.modeOn = ModeOn();
        for (size_t k = 0; k < FactionList.size(); ++k) {
            for (const Rioter& rioter : FactionList[k].Members) {
                const SimPed* ped = world.FindPed(rioter.Ped);
                if (!ped || !ped->exists) continue;
                MapRioter mark;
                mark.x = ped->position.x;
                mark.y = ped->position.y;
                mark.faction = static_cast<int>(k);
                const Vec3 target = world.PositionOf(ped->combatTarget);
                mark.hasTarget = ped->alive && ped->combatTarget != 0 && world.Exists(ped->combatTarget);
                mark.dead = !ped->alive;
                mark.targetIsPlayer = ped->combatTarget == world.playerPed;
                mark.targetX = target.x;
                mark.targetY = target.y;
                map.rioters.push_back(mark);
            }
        }
        return map;
    }

    void Finish(const LivingWorld& living) {
        Totals& totals = result_.totals;
        for (const TimelineRow& row : result_.rows) {
            totals.recruited += row.recruited;
            totals.dropped += row.dropped;
            for (int k = 0; k < ReleaseReasonCount; ++k)
                totals.released[k] += row.released[k];
        }
        totals.playerDeaths = living.Tally().playerDeaths;
        totals.attacks = living.Tally().attacks;
        totals.hits = living.Tally().hits;
        totals.pedDeaths = living.Tally().pedDeaths;
        for (size_t k = 0; k < FactionList.size(); ++k) {
            const Faction& faction = FactionList[k];
            std::string cap =
                faction.MaxMembers == UINT32_MAX ? "no cap" : fmt::format("cap {}", faction.MaxMembers);
            std::string name =
                faction.IsDefault
                    ? fmt::format("F{}: everyone ({})", k, cap)
                    : fmt::format("F{} ({}{})", k, cap, faction.WillAttackSelf ? ", attacks its own" : "");
            result_.pictures.factionNames.push_back(name);
        }
    }

    RiotResult& result_;
    const double rowSeconds_;
    const double chartSeconds_;
    std::vector<double> snapshots_;
    size_t nextSnapshot_ = 0;
    double chartNext_ = 0.0;
    double rowStart_ = 0.0;
    int64_t spawnsSeen_ = 0;
    int64_t releasesSeen_[ReleaseReasonCount] = {};
    int64_t playerDeathsSeen_ = 0;
    int rioterCount_ = 0;
};

}  // namespace

int64_t FrameCount(const Scenario& scenario) {
    const int64_t endMs = static_cast<int64_t>(std::ceil(scenario.seconds * 1000.0));
    int64_t frames = static_cast<int64_t>(static_cast<double>(endMs) / scenario.frameMs);
    while (frames > 0 && ElapsedMs(scenario.frameMs, frames - 1) >= endMs)
        --frames;
    while (ElapsedMs(scenario.frameMs, frames) < endMs)
        ++frames;
    return frames;
}

RiotResult PlayRiot(const Scenario& scenario, const std::string& configPath, std::ostream* trace,
                    const std::function<bool(const RiotProgress&)>& progress, ReplayRecorder* replay,
                    const std::string& logPath) {
    RiotResult result;
    result.pictures.title = scenario.name;
    ResetScriptState();
    // The script reads this name at start-up and at every press; an empty name opens nothing.
    Settings.ConfigFileName = configPath.c_str();

    Simulation sim(scenario.clockStart);
    sim.logPath = logPath;
    Game& game = sim.game;
    game.trace.keep = false;
    game.trace.stream = trace;
    game.world.keepDraws = false;
    game.world.modelLoadPolls = scenario.modelLoadPolls;
    game.world.neverLoadingModels.insert(scenario.neverLoadingModels.begin(),
                                         scenario.neverLoadingModels.end());
    game.world.spawns.numbers.insert(scenario.failingSpawns.begin(), scenario.failingSpawns.end());
    game.world.groundZ = scenario.groundZ;

    LivingWorld living(scenario.world);
    Recorder recorder(scenario, result);
    const int64_t frames = FrameCount(scenario);
    size_t nextPress = 0;

    game.onFrame.push_back([&](Game& g) {
        const int64_t frame = g.Frame();
        const double seconds = static_cast<double>(ElapsedMs(scenario.frameMs, frame)) / 1000.0;
        recorder.Observe(g.world, living, seconds, false);
        if (replay) replay->Observe(g.world, seconds);
        living.Step(g.world, seconds);
        while (nextPress < scenario.presses.size() && scenario.presses[nextPress].seconds <= seconds + 1e-9) {
            const int32_t key =
                scenario.presses[nextPress].key ? scenario.presses[nextPress].key : Settings.EnableKey;
            g.keyboard.Press(key, frame, PressFrames);
            ++nextPress;
        }
        g.frameMs = static_cast<uint32_t>(ElapsedMs(scenario.frameMs, frame + 1) -
                                          ElapsedMs(scenario.frameMs, frame));
    });

    sim.Start(&ScriptMain);
    constexpr int64_t Chunk = 240;
    int64_t done = 0;
    while (done < frames) {
        done += std::min(Chunk, frames - done);
        sim.RunFrames(done - game.Frame() - 1);
        if (progress) {
            RiotProgress p;
            p.frames = done;
            p.seconds = static_cast<double>(ElapsedMs(scenario.frameMs, done)) / 1000.0;
            p.rioters = CountRioters();
            if (!progress(p) && done < frames) {
                result.stoppedEarly = true;
                break;
            }
        }
    }
    result.seconds = result.stoppedEarly ? static_cast<double>(ElapsedMs(scenario.frameMs, done)) / 1000.0
                                         : scenario.seconds;
    const double endSeconds = static_cast<double>(ElapsedMs(scenario.frameMs, done)) / 1000.0;
    recorder.Observe(game.world, living, endSeconds, true);
    if (replay) replay->Observe(game.world, endSeconds, true);
    sim.Stop();
    result.frames = done;
    result.nativeCalls = game.NativeCalls();
    result.faults = game.errors;
    ResetScriptState();  // nothing keeps pointing at configPath
    return result;
}
