#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "config/Jenkins.h"
#include "host/Natives.h"
#include "host/Seam.h"
#include "sim/Format.h"
#include "sim/Simulation.h"

TEST(SimulatedGame, JenkinsHashOfLowerCasedText) {
    EXPECT_EQ(JenkinsHash("weapon_pistol"), 0x1B06D571u);
    EXPECT_EQ(JenkinsHash("WEAPON_PISTOL"), 0x1B06D571u);
    EXPECT_EQ(JenkinsHash(""), 0u);
}

TEST(SimulatedGame, FloatsAreWrittenShortestAndExact) {
    EXPECT_EQ(FloatText(0.55f), "0.55");
    EXPECT_EQ(FloatText(-90.0f), "-90");
    EXPECT_EQ(FloatText(1e-7f), "1e-07");
    EXPECT_EQ(FloatText(0.1f + 0.2f), "0.3");
    EXPECT_EQ(FloatText(0.1f * 3.0f), "0.3");
    EXPECT_EQ(FloatText(16777217.0f), "16777216");
}

namespace {
std::vector<std::pair<int64_t, uint32_t>> Wakes;
void WaitingEntry() {
    for (uint32_t ms : {0u, 0u, 1u, 40u, 16u, 15u}) {
        scriptWait(ms);
        Wakes.push_back({CurrentGame()->Frame(), CurrentGame()->Tick()});
    }
    for (;;)
        scriptWait(0);
}

struct Tracked {
    static int alive;
    Tracked() { ++alive; }
    ~Tracked() { --alive; }
};
int Tracked::alive = 0;

void EntryWithLocals() {
    Tracked local;
    std::vector<int> heap(1000, 7);
    for (;;)
        scriptWait(heap[0] == 7 ? 0 : 1);
}
}  // namespace

TEST(SimulatedGame, WaitResumesOnTheFirstFrameThatIsFarEnoughOn) {
    Wakes.clear();
    Simulation sim(100);
    sim.game.frameMs = 16;
    sim.Start(&WaitingEntry);
    sim.RunFrames(12);
    // Frame ticks are 100, 116, 132, ...: 0 and 1 ms resume on the next frame, 40 ms after three frames.
    const std::vector<std::pair<int64_t, uint32_t>> expected = {
        {1, 116}, {2, 132}, {3, 148}, {6, 196}, {7, 212}, {8, 228},
    };
    EXPECT_EQ(Wakes, expected);
    EXPECT_TRUE(sim.game.errors.empty());
}

TEST(SimulatedGame, StoppingUnwindsTheScriptThatNeverReturns) {
    for (int run = 0; run < 50; ++run) {
        Simulation sim;
        sim.Start(&EntryWithLocals);
        sim.RunFrames(run % 5);
        if (run % 5) {
            EXPECT_EQ(Tracked::alive, 1);
        }
    }
    EXPECT_EQ(Tracked::alive, 0);
}

TEST(SimulatedGame, KeyboardReportsDownAndPressedSince) {
    Keyboard keys;
    keys.Press(118, 3, 2);  // down in frames 3 and 4
    EXPECT_EQ(keys.Query(118, 2), 0);
    EXPECT_EQ(static_cast<uint16_t>(keys.Query(118, 3)), 0x8001u);
    EXPECT_EQ(static_cast<uint16_t>(keys.Query(118, 4)), 0x8000u);
    EXPECT_EQ(static_cast<uint16_t>(keys.Query(118, 4)), 0x8000u) << "asked twice in its last frame";
    EXPECT_EQ(keys.Query(118, 5), 0);
    keys.Press(118, 7, 1);
    EXPECT_EQ(keys.Query(118, 9), 1);  // pressed and released between two queries
    EXPECT_EQ(keys.Query(117, 3), 0);
}

TEST(SimulatedGame, CountsCallsPerNativeWithTheTraceOff) {
    Simulation sim;
    sim.game.trace.keep = false;
    nativeInit(0xD80958FC74E988A6);  // PlayerPedId
    nativeCall();
    nativeInit(0xD80958FC74E988A6);
    nativeCall();
    nativeInit(0x1234);  // unknown: a fault, not a call
    nativeCall();
    EXPECT_EQ(sim.game.CallsOf("PlayerPedId"), 2);
    EXPECT_EQ(sim.game.CallsOf("PlayerId"), 0);
    EXPECT_EQ(sim.game.CallsOf("NoSuchNative"), -1);
    EXPECT_EQ(sim.game.NativeCalls(), 3);
    EXPECT_EQ(sim.game.errors.size(), 1u);
    EXPECT_TRUE(sim.game.trace.lines.empty());
}

// The spawns are numbered over both natives that spawn; a failing call gets no answer: no ped, false, and the
// safe coordinates' record left as it was.
TEST(SimulatedGame, FailingCallsAreNumberedOverTheNativesThatShareThem) {
    Simulation sim;
    World& world = sim.game.world;
    world.spawns.numbers = {1, 3};
    EXPECT_EQ(CreateRandomPed(0.0f, 0.0f, 0.0f), 100);
    EXPECT_EQ(CreatePed(26, 0, 0.0f, 0.0f, 0.0f, 0.0f, 0, 1), 0);
    EXPECT_EQ(CreatePed(26, 0, 0.0f, 0.0f, 0.0f, 0.0f, 0, 1), 101);
    EXPECT_EQ(CreateRandomPed(0.0f, 0.0f, 0.0f), 0);
    EXPECT_EQ(world.spawns.made, 4);
    EXPECT_EQ(world.peds.size(), 2u);
    Vector3 safe = MakeVector3(1.0f, 2.0f, 3.0f);
    world.safeCoords.allNow = true;
    EXPECT_FALSE(GetSafeCoordForPed(7.0f, 8.0f, 9.0f, 0, &safe, 0));
    EXPECT_EQ(safe.z, 3.0f);
    world.safeCoords.allNow = false;
    EXPECT_TRUE(GetSafeCoordForPed(7.0f, 8.0f, 9.0f, 0, &safe, 0));
    EXPECT_EQ(safe.x, 7.0f);
    EXPECT_TRUE(sim.game.errors.empty());
}

TEST(SimulatedGame, PedsAreFoundByHandleAfterOthersAreRemoved) {
    World world;
    std::vector<int32_t> handles;
    for (int k = 0; k < 12; ++k)
        handles.push_back(world.AddPed({static_cast<float>(k), 0.0f, 0.0f}, 0, true, 0));
    // The oldest, one in the middle, then all but the newest two: the index drops what it no longer needs.
    std::set<int32_t> removed;
    for (std::set<int32_t> gone : {std::set<int32_t>{100}, {105}, {101, 102, 103, 104, 106, 107, 108, 109}}) {
        for (auto it = world.peds.begin(); it != world.peds.end();)
            it = gone.count(it->first) ? world.peds.erase(it) : std::next(it);
        removed.insert(gone.begin(), gone.end());
        for (int32_t handle : handles) {
            const SimPed* ped = world.FindPed(handle);
            if (removed.count(handle)) {
                EXPECT_EQ(ped, nullptr) << handle;
                continue;
            }
            ASSERT_NE(ped, nullptr) << handle;
            EXPECT_EQ(ped->position.x, static_cast<float>(handle - 100));
        }
    }
    EXPECT_EQ(world.peds.size(), 2u);
    EXPECT_EQ(world.FindPed(99), nullptr);
    EXPECT_EQ(world.FindPed(112), nullptr);
    const int32_t next = world.AddPed({}, 0, true, 0);
    EXPECT_EQ(world.FindPed(next)->handle, 112);
    EXPECT_EQ(world.FindPed(111)->handle, 111);
    world.peds.clear();
    EXPECT_EQ(world.FindPed(111), nullptr);
    EXPECT_EQ(world.FindPed(world.AddPed({}, 0, true, 0))->handle, 113);
}

namespace {
void EntryThatThrows() {
    scriptWait(0);
    throw std::runtime_error("the script failed");
}
}  // namespace

TEST(SimulatedGame, WhatEscapesTheScriptReachesTheFrameLoop) {
    Simulation sim;
    sim.Start(&EntryThatThrows);
    sim.RunFrames(1);
    EXPECT_THROW(sim.RunFrames(1), std::runtime_error);
    sim.RunFrames(3);  // the script has ended: frames go on without it
    EXPECT_EQ(sim.game.Frame(), 4);
}

TEST(SimulatedGame, WithTheTraceOffAMalformedSlotIsStillAFaultAndChangesNothing) {
    struct Case {
        uint64_t hash;
        std::vector<uint64_t> slots;
        const char* fault;
    };
    unsigned char record[24] = {};
    const uint64_t pointer = reinterpret_cast<uintptr_t>(record);
    const Case cases[] = {
        {0x7AEFB85C1D49DEB6,
         {100, 0xFFFFFFFFFFFFFFFEull},
         "SetPedAccuracy: argument 2 has its high 32 bits set"},
        {0x7AEFB85C1D49DEB6, {0x100000064ull, 5}, "SetPedAccuracy: argument 1 has its high 32 bits set"},
        {0xAE3CBE5BF394C9C9, {0}, "DeleteEntity: argument 1 is a null pointer"},
        // A pointer beside the scalars: each slot is checked against its own kind.
        {0xB61C8E878A4199CA,
         {0, 0x100000000ull, 0, 1, pointer, 0},
         "GetSafeCoordForPed: argument 2 has its high 32 bits set"},
        {0x7AEFB85C1D49DEB6, {100, 55}, nullptr},
    };
    for (const Case& c : cases) {
        Simulation sim;
        sim.game.trace.keep = false;
        sim.game.world.AddPed({}, 0, true, 0);
        nativeInit(c.hash);
        for (uint64_t slot : c.slots)
            nativePush64(slot);
        nativeCall();
        if (!c.fault) {
            EXPECT_TRUE(sim.game.errors.empty());
            EXPECT_EQ(sim.game.world.FindPed(100)->accuracy, 55);
            continue;
        }
        ASSERT_EQ(sim.game.errors.size(), 1u) << c.fault;
        EXPECT_EQ(sim.game.errors[0], c.fault);
        EXPECT_EQ(sim.game.world.FindPed(100)->accuracy, 0);
        EXPECT_TRUE(sim.game.world.FindPed(100)->exists);
    }
}
