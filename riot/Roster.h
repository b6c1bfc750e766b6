#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "host/Natives.h"

struct Rioter {
    int32_t Ped = 0;     // the ped handle the spawn returned, 0 included
    int32_t Target = 0;  // the ped last fought; 0 = never sent
    bool Engaged = false;
};

struct Faction {
    uint32_t MaxMembers = 0;
    Hash GroupHash = 0;
    bool WillAttackSelf = false;
    std::vector<Rioter> Members;
    std::vector<std::string> MemberModels;
    std::vector<std::string> Weapons;
    // Built by the loader when the file defines no factions. Its group is never removed at the next load: it
    // is the shared "RIOTER" group (or none), not one the loader created.
    bool IsDefault = false;
};

// Why culling released a rioter (riot/Cull.h).
enum class CullReason { Gone, FailedPedCheck, TooFar, Count };

// What the riot has done since the library was loaded; only the log reads it.
struct RiotCountsRecord {
    uint64_t Recruited = 0;
    uint64_t Released[static_cast<int>(CullReason::Count)] = {};
    uint64_t Dropped = 0;  // forgotten, their peds left in the world, when a load rebuilt the factions
};

// Told of each release as it is made, for a tool that records the riot (the simulator's run); none in the
// game.
class RiotObserver {
  public:
    virtual ~RiotObserver() = default;
    // The rioter at position in FactionList[faction].Members is released for that reason; it is still there.
    virtual void Releasing(std::size_t faction, std::size_t position, CullReason reason) = 0;
};

int32_t CountRioters();

// Single-precision distance between two entities: first's coordinates are asked first.
float EntityDistance(Entity first, Entity second);
