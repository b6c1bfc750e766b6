// The per-frame path allocates nothing: a counting allocator watches whole frames and a combat pass.
#include <atomic>
#include <cstdlib>
#include <new>

#include <gtest/gtest.h>

#include "config/Settings.h"
#include "host/Natives.h"
#include "riot/Combat.h"
#include "riot/RiotState.h"
#include "riot/Roster.h"
#include "tests/support/ScriptRun.h"

namespace {
std::atomic<bool> Counting{false};
std::atomic<long> Allocations{0};

void* CountedAllocation(std::size_t size) {
    if (Counting.load(std::memory_order_relaxed)) Allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

// Allocations made while the callable runs, the script's fibre included.
template <typename F>
long AllocationsDuring(F&& run) {
    Allocations = 0;
    Counting = true;
    run();
    Counting = false;
    return Allocations.load();
}

// A quiet game: no trace, draws counted only, so every allocation seen is the script's.
void Quiet(ScriptRun& run) {
    run.game().trace.keep = false;
    run.world().keepDraws = false;
}
}  // namespace

void* operator new(std::size_t size) {
    return CountedAllocation(size);
}
void* operator new[](std::size_t size) {
    return CountedAllocation(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

TEST(Allocations, TheCounterSeesAnAllocation) {
    EXPECT_EQ(AllocationsDuring([] { delete new int(3); }), 1);
}

TEST(Allocations, AFrameWithTheModeOff) {
    ScriptRun run;
    Quiet(run);
    run.Frames(10);
    const int64_t calls = run.game().NativeCalls();
    EXPECT_EQ(AllocationsDuring([&] { run.Frames(100); }), 0);
    EXPECT_EQ(run.game().NativeCalls(), calls);  // an idle frame calls no native
}

TEST(Allocations, AFrameDrawingTheStatusText) {
    ScriptRun run;
    Quiet(run);
    Riot().Settings.DisableCops = false;
    run.game().keyboard.Press(118, 2, 1);
    run.game().keyboard.Press(118, 4, 1);  // "Skirmora disabled" is the longer text
    run.Frames(10);
    const int64_t draws = run.world().drawCount;
    EXPECT_EQ(AllocationsDuring([&] { run.Frames(100); }), 0);
    EXPECT_EQ(run.world().drawCount, draws + 100);
}
TEST(Allocations, ACombatPassOverAHundredRioters) {
    ScriptRun run;
    Quiet(run);
    Faction left, right;
    left.MaxMembers = right.MaxMembers = 100;
    left.GroupHash = 1;
    right.GroupHash = 2;
    left.Weapons = {"WEAPON_SMG", "WEAPON_PISTOL"};
    for (int k = 0; k < 100; ++k) {
        const float x = static_cast<float>(k % 10) * 3.0f;
        const float y = static_cast<float>(k / 10) * 3.0f;
        (k % 2 ? right : left).Members.push_back({CreateRandomPed(x, y, 0.0f), 0, false});
    }
    Riot().FactionList = {left, right};
    const int64_t before = run.game().NativeCalls();
    EXPECT_EQ(AllocationsDuring([] { CombatTick(); }), 0);  // every rioter is armed and tasked
    const int64_t firstPass = run.game().NativeCalls() - before;
    EXPECT_EQ(AllocationsDuring([] { CombatTick(); }), 0);  // targets kept: no weapon, no task
    EXPECT_EQ(CountRioters(), 100);
    // Culling asks five natives of each rioter; each search two positions per enemy and the player.
    EXPECT_EQ(run.game().NativeCalls() - before - firstPass, 100 * 5 + 100 * (2 * 50 + 3));
    EXPECT_EQ(firstPass, 100 * 5 + 100 * (2 * 50 + 3) + 100 * 4);
}
