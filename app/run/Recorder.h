// Records a run once a frame (app/run/Recording.h): one walk of the roster and the world a frame, and the
// script's own word for each release.
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "app/run/Recording.h"
#include "app/run/Scenario.h"
#include "riot/Roster.h"
#include "sim/Fight.h"
#include "sim/World.h"

class Recorder : public RiotObserver {
  public:
    // keepSamples: record the replay's samples and tracks too.
    Recorder(const Scenario& scenario, bool keepSamples);

    // Sees the world as the previous frame left it, at that game time; last: the run ends there.
    void Observe(const World& world, const LivingWorld& living, double seconds, bool last);
    void Releasing(std::size_t faction, std::size_t position, CullReason reason) override;

    Recording& Result() { return recording_; }

  private:
    // A member of the roster as the recording follows it, and its replay track (none without samples).
    struct Member {
        int32_t handle = 0;
        size_t track = 0;
    };

    void EndRow(const World& world, const LivingWorld& living, double to);
    MapSnapshot Map(const World& world, double seconds) const;
    void Finish(const LivingWorld& living);
    void FollowRoster();
    void Sample(const World& world, int32_t ms);
    void SampleTrack(ReplayTrack& track, const World& world, int32_t index);
    void NoteModel(ReplayTrack& track, const Faction& faction);
    void NotePresses(double seconds, int32_t ms);
    int32_t WeaponIndex(uint32_t hash);

    Recording recording_;
    const World* world_ = nullptr;
    std::vector<std::vector<Member>> roster_;  // per faction, in roster order
    // The timeline, the chart and the maps.
    const double rowSeconds_;
    const double chartSeconds_;
    std::vector<double> snapshots_;
    size_t nextSnapshot_ = 0;
    double chartNext_ = 0.0;
    TimelineRow row_;  // the row under way: its recruits, releases and drops so far
    int64_t playerDeathsSeen_ = 0;
    // The replay.
    const bool keepSamples_;
    std::map<uint32_t, int32_t> weaponIndex_;
    std::map<uint32_t, int32_t> modelIndex_;
    std::vector<KeyPress> presses_;
    size_t nextPress_ = 0;
    int32_t lastState_ = -1;
};
