// How the simulated world plays a riot out: peds with a combat task run at their target and fight it; the
// player follows a planned path, gets in and out of a vehicle, and can die and respawn. Every step uses only
// + - * / and square root, so a seed gives the same riot on every platform.
#pragma once
#include <cstdint>
#include <vector>

#include "sim/World.h"
#include "sim/WorldRandom.h"

struct FightRules {
    float runSpeed = 4.0f;       // units per second, toward the target
    float gunRange = 30.0f;      // an armed ped fires from this far
    float meleeRange = 1.5f;     // an unarmed one fights from this close
    float attackSeconds = 0.8f;  // time between two attacks of one ped
    float gunDamage = 20.0f;
    float meleeDamage = 8.0f;
    float pedHealth = 100.0f;
    float vanishPerMinute = 0.0f;  // chance per minute that the game despawns a ped
};

struct PathPoint {
    double seconds = 0.0;
    float x = 0.0f;
    float y = 0.0f;
};

struct TimeSpan {
    double from = 0.0;
    double to = 0.0;
    bool Holds(double seconds) const { return seconds >= from && seconds < to; }
};

struct PlayerPlan {
    std::vector<PathPoint> path;    // by time; the player stands at the first point before it, the last after
    std::vector<TimeSpan> vehicle;  // in a vehicle during these spans
    std::vector<double> deaths;     // killed outright at these moments
    float health = 400.0f;
    double respawnSeconds = 8.0;  // dead this long, then back on the path at full health
};

struct WorldPlan {
    FightRules rules;
    PlayerPlan player;
    std::vector<TimeSpan> safeCoordFailures;  // the safe-coordinate query finds nothing during these spans
    uint64_t seed = 1;
};

// What the world did, counted as it happened.
struct FightTally {
    int64_t attacks = 0;
    int64_t hits = 0;
    int64_t pedDeaths = 0;
    int64_t playerDeaths = 0;
    int64_t vanished = 0;
};

class LivingWorld {
  public:
    explicit LivingWorld(WorldPlan plan);

    // Advances the world to `seconds` of game time since the run began; called once a frame, before the
    // script.
    void Step(World& world, double seconds);

    const FightTally& Tally() const { return tally_; }
    const WorldPlan& Plan() const { return plan_; }

  private:
    void StepPlayer(World& world, double seconds);
    void StepPed(World& world, SimPed& ped, float dt, float vanishChance);
    void Attack(World& world, SimPed& attacker, float distance, bool targetIsPlayer, SimPed* target);

    WorldPlan plan_;
    WorldRandom random_;
    FightTally tally_;
    double lastSeconds_ = 0.0;
    bool started_ = false;
    size_t nextDeath_ = 0;
    double respawnAt_ = -1.0;
};

// Where the plan puts the player at `seconds`, and which way the player faces.
Vec3 PathPosition(const std::vector<PathPoint>& path, double seconds, Vec3* forward);
