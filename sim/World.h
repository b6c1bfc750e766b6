// The simulated game world behind the natives.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

struct SimPed {
    int32_t handle = 0;
    Vec3 position;
    bool exists = true;
    bool alive = true;      // answers the ped check
    bool released = false;  // the script said it no longer needs the ped
    bool random = false;    // spawned as a random pedestrian
    uint32_t model = 0;
    int32_t accuracy = 0;
    uint32_t group = 0;
    std::vector<uint32_t> weapons;
    int32_t combatTarget = 0;
    int32_t spawnFrame = 0;
    float health = 100.0f;        // the fight model's; the script never sees it
    float attackCooldown = 0.0f;  // seconds until this ped's next attack
    int32_t killer = 0;           // the fight model's: the ped whose hit killed this one
};

// The peds other than the player, in handle order: handles only grow, so a new ped goes at the end. Every
// native call looks a ped up, so a lookup is one index: the position of each handle from the oldest ped's on.
// Pointers to peds last until the next ped is added or removed.
class PedTable {
  public:
    using Entry = std::pair<int32_t, SimPed>;
    using iterator = std::vector<Entry>::iterator;
    using const_iterator = std::vector<Entry>::const_iterator;

    iterator begin() { return entries_.begin(); }
    iterator end() { return entries_.end(); }
    const_iterator begin() const { return entries_.begin(); }
    const_iterator end() const { return entries_.end(); }
    size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    void clear();
    iterator erase(iterator at);

    SimPed* Find(int32_t handle) {
        return const_cast<SimPed*>(static_cast<const PedTable&>(*this).Find(handle));
    }
    const SimPed* Find(int32_t handle) const {
        const uint64_t k = static_cast<uint64_t>(static_cast<int64_t>(handle) - base_);
        if (k >= position_.size() || position_[k] < 0) return nullptr;
        return &entries_[static_cast<size_t>(position_[k])].second;
    }
    void Add(SimPed ped);  // its handle is greater than every other

  private:
    std::vector<Entry> entries_;
    std::vector<int32_t> position_;  // by handle - base_: the entry's position, -1 when it is gone
    int64_t base_ = 0;
};

// Calls of the game that a run makes fail, numbered from 0 over the natives that answer to them (the
// catalogue says which, sim/Answers.cpp). A failing call changes nothing in the world and answers as the game
// answers a failure: no ped, false.
struct FailingCalls {
    std::set<int64_t> numbers;  // the calls that fail
    bool allNow = false;        // every call fails while set
    int64_t made = 0;           // the calls so far, failed ones too

    bool FailsNext() { return numbers.count(made++) > 0 || allNow; }
};

struct TextDraw {
    int64_t frame = 0;
    std::string text;
    float x = 0.0f;
    float y = 0.0f;
};

struct World {
    // The player.
    int32_t playerPed = 1;
    int32_t playerIndex = 0;
    Vec3 playerPosition;
    Vec3 playerForward{0.0f, 1.0f, 0.0f};
    bool playerInVehicle = false;
    bool playerPedCheck = true;    // the player's ped passes the ped check
    bool playerStateCheck = true;  // the player-state check answers true
    bool playerDead = false;
    float playerHealth = 400.0f;

    // Peds other than the player, by handle.
    PedTable peds;
    int32_t nextHandle = 100;
    FailingCalls spawns;       // CreatePed and CreateRandomPed together: a failing spawn gives handle 0
    float pedHealth = 100.0f;  // health of a new ped

    // Models: each loads after this many polls that answer false; listed names never load.
    int32_t modelLoadPolls = 0;
    std::set<std::string> neverLoadingModels;
    std::map<uint32_t, int32_t> modelPolls;
    std::set<uint32_t> requestedModels;

    // Safe coordinates: the candidate point moved to the ground, or no answer at all.
    float groundZ = 0.0f;
    FailingCalls safeCoords;

    // Relationship groups alive in the game, by hash.
    std::map<uint32_t, std::string> groups;

    int32_t wantedLevel = 0;
    float wantedMultiplier = 1.0f;

    // Text drawing: the style is not kept; each DrawText records the text entered for it.
    std::string pendingText;
    std::vector<TextDraw> draws;
    bool keepDraws = true;  // off: only count them (a long run need not hold every frame's text)
    int64_t drawCount = 0;

    SimPed* FindPed(int32_t handle) { return peds.Find(handle); }
    const SimPed* FindPed(int32_t handle) const { return peds.Find(handle); }
    int32_t AddPed(Vec3 position, uint32_t model, bool random, int64_t frame);
    bool Exists(int32_t entity) const {
        if (entity == playerPed) return true;
        const SimPed* ped = FindPed(entity);
        return ped && ped->exists;
    }
    Vec3 PositionOf(int32_t entity) const {
        if (entity == playerPed) return playerPosition;
        const SimPed* ped = FindPed(entity);
        return ped && ped->exists ? ped->position : Vec3{};
    }
    // A model the game lacks never loads, nor one the scenario names.
    bool ModelNeverLoads(uint32_t hash) const;
    // Whether the game has a weapon of that hash: handing out another arms nobody.
    static bool IsGameWeapon(uint32_t hash);
};
