// Records a run once a frame (app/run/Recording.h): one walk of the roster and the world a frame, and the
// script's own word for each release.
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <unordered_map>
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
        int32_t recruitedMs = 0;
        int32_t deathMs = -1;
        size_t weaponsSeen = 0;
    };
    // A rioter's ped as the last look saw it: what it fought with in the frame since.
    struct Fighter {
        int faction = 0;
        int32_t target = 0;       // 0 none, -1 the player
        int32_t weapon = -1;      // the last weapon handed, -1 none
        int32_t nextWeapon = -1;  // and as of this look
        float cooldown = 0.0f;    // the fight model's time to its next attack
        float health = 0.0f;
        bool dead = false;
    };
    struct Attack {
        int32_t attacker = 0;
        int faction = 0;
        int32_t target = 0;
        bool armed = false;
    };

    void EndRow(const World& world, const LivingWorld& living, double to);
    MapSnapshot Map(const World& world, double seconds) const;
    void Finish(const LivingWorld& living, int32_t ms);
    void FollowRoster();
    void LookAt(Member& member, int faction, const World& world, const LivingWorld& living);
    void Died(Member& member, int faction, const SimPed& ped, int32_t next);
    void Left(const Member& member, int faction, TrackEnd reason, int32_t next);
    void AddLife(FactionScore& score, const Member& member, int32_t endMs);
    void NoteFights(int32_t ms);
    void CountHits(const World& world, const LivingWorld& living);
    void NoteWeapons(Member& member, int faction, const SimPed& ped);
    WeaponScore& Weapon(int faction, int32_t weapon);
    FactionScore& Score(int faction);
    void Sample(const World& world, int32_t ms);
    void SampleTrack(ReplayTrack& track, const World& world, int32_t index);
    void NoteModel(ReplayTrack& track, const Faction& faction);
    void NotePresses(double seconds, int32_t ms);
    int32_t WeaponIndex(uint32_t hash);

    Recording recording_;
    const World* world_ = nullptr;
    const LivingWorld* living_ = nullptr;
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
    // The factions' fights: the peds of the roster (and those that left it this frame) as the last look saw
    // them, this frame's attacks, and the game time of the frame whose changes a look sees.
    std::unordered_map<int32_t, Fighter> fighters_;
    std::vector<int32_t> leaving_;
    std::vector<Attack> attacks_;
    std::map<int32_t, int32_t> killedBy_;  // killer, victim: this frame's kills
    float playerHealth_ = 0.0f;
    bool playerDead_ = false;
    int32_t frameMs_ = 0;
};
