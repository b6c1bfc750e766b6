// The world's fight model, stepped by hand without the script.
#include <gtest/gtest.h>

#include <cmath>

#include "sim/Fight.h"

namespace {

constexpr double Frame = 1.0 / 60.0;

struct Arena {
    World world;
    LivingWorld living;
    double seconds = 0.0;

    explicit Arena(WorldPlan plan = {}) : living(std::move(plan)) {
        world.playerPosition = {0.0f, 0.0f, 0.0f};
        living.Step(world, 0.0);
    }
    int32_t Add(float x, float y, bool armed, int32_t accuracy = 100) {
        const int32_t handle = world.AddPed({x, y, 0.0f}, 0, true, 0);
        world.FindPed(handle)->accuracy = accuracy;
        if (armed) world.FindPed(handle)->weapons.push_back(1);
        return handle;
    }
    void Run(double forSeconds) {
        for (int n = 0; n < static_cast<int>(forSeconds / Frame + 0.5); ++n) {
            seconds += Frame;
            living.Step(world, seconds);
        }
    }
    SimPed& Ped(int32_t handle) { return *world.FindPed(handle); }
};

WorldPlan Peaceful() {
    WorldPlan plan;
    plan.rules.gunDamage = 0.0f;
    plan.rules.meleeDamage = 0.0f;
    return plan;
}

TEST(FightModel, AnArmedPedRunsToHalfItsRangeAndAnUnarmedOneToArmsLength) {
    struct Case {
        bool armed;
        float expectedStop;
    } cases[] = {{true, 15.0f}, {false, 0.75f}};
    for (const Case& c : cases) {
        Arena arena(Peaceful());
        const int32_t runner = arena.Add(100.0f, 0.0f, c.armed);
        const int32_t target = arena.Add(0.0f, 0.0f, false);
        arena.Ped(runner).combatTarget = target;
        arena.Run(5.0);  // 4 units a second: 20 units in
        EXPECT_NEAR(arena.Ped(runner).position.x, 80.0f, 0.1f) << "armed " << c.armed;
        arena.Run(60.0);
        EXPECT_NEAR(arena.Ped(runner).position.x, c.expectedStop, 0.01f) << "armed " << c.armed;
        EXPECT_FLOAT_EQ(arena.Ped(target).position.x, 0.0f) << "a ped without a task stands still";
    }
}

TEST(FightModel, HitChanceFollowsAccuracyAndAPedAtZeroHealthDies) {
    struct Case {
        int32_t accuracy;
        double low, high;  // expected share of hits
    } cases[] = {{0, 0.02, 0.09}, {50, 0.42, 0.58}, {100, 0.9, 0.99}, {-5, 0.02, 0.09}, {1000, 0.9, 0.99}};
    for (const Case& c : cases) {
        WorldPlan plan;
        plan.rules.pedHealth = 1e6f;
        Arena arena(plan);
        const int32_t shooter = arena.Add(10.0f, 0.0f, true, c.accuracy);
        const int32_t target = arena.Add(0.0f, 0.0f, false);
        arena.Ped(shooter).combatTarget = target;
        arena.Run(400.0);
        const FightTally& tally = arena.living.Tally();
        ASSERT_GT(tally.attacks, 400) << "one attack every 0.8 s";
        const double share = static_cast<double>(tally.hits) / static_cast<double>(tally.attacks);
        EXPECT_GT(share, c.low) << "accuracy " << c.accuracy;
        EXPECT_LT(share, c.high) << "accuracy " << c.accuracy;
    }

    Arena arena;
    const int32_t shooter = arena.Add(10.0f, 0.0f, true, 100);
    const int32_t target = arena.Add(0.0f, 0.0f, false);
    arena.Ped(shooter).combatTarget = target;
    arena.Ped(target).combatTarget = shooter;
    arena.Run(30.0);
    EXPECT_FALSE(arena.Ped(target).alive) << "five hits of 20 kill a ped of 100";
    EXPECT_TRUE(arena.Ped(target).exists) << "the body stays until the script lets it go";
    EXPECT_TRUE(arena.Ped(shooter).alive) << "the unarmed one hits for 8 and dies first";
    EXPECT_EQ(arena.living.Tally().pedDeaths, 1);
    const Vec3 body = arena.Ped(target).position;
    arena.Run(5.0);
    EXPECT_FLOAT_EQ(arena.Ped(target).position.x, body.x) << "the dead do not move";
}

TEST(FightModel, ThePlayerFollowsThePathDiesAndRespawns) {
    WorldPlan plan;
    plan.player.path = {{0.0, 0.0f, 0.0f}, {10.0, 100.0f, 0.0f}, {20.0, 100.0f, 50.0f}};
    plan.player.vehicle = {{10.0, 15.0}};
    plan.player.deaths = {12.0};
    plan.player.respawnSeconds = 4.0;
    Arena arena(plan);
    arena.Run(5.0);
    EXPECT_NEAR(arena.world.playerPosition.x, 50.0f, 0.01f);
    EXPECT_FLOAT_EQ(arena.world.playerForward.x, 1.0f);
    EXPECT_FALSE(arena.world.playerInVehicle);
    arena.Run(6.0);  // 11 s
    EXPECT_TRUE(arena.world.playerInVehicle);
    EXPECT_NEAR(arena.world.playerForward.y, 1.0f, 1e-6f);
    arena.Run(2.0);  // 13 s: died at 12 s
    EXPECT_TRUE(arena.world.playerDead);
    EXPECT_FALSE(arena.world.playerPedCheck);
    const float fell = arena.world.playerPosition.y;
    arena.Run(2.0);
    EXPECT_FLOAT_EQ(arena.world.playerPosition.y, fell) << "a dead player does not move";
    arena.Run(1.5);  // 16.5 s: back on the path
    EXPECT_FALSE(arena.world.playerDead);
    EXPECT_TRUE(arena.world.playerPedCheck);
    EXPECT_NEAR(arena.world.playerPosition.y, 32.5f, 0.1f);
    EXPECT_EQ(arena.living.Tally().playerDeaths, 1);

    WorldPlan mob;
    mob.player.health = 100.0f;
    mob.player.respawnSeconds = 1e9;
    Arena riot(mob);
    for (int k = 0; k < 5; ++k)
        riot.Ped(riot.Add(5.0f, static_cast<float>(k), true)).combatTarget = riot.world.playerPed;
    riot.Run(10.0);
    EXPECT_TRUE(riot.world.playerDead) << "five sharpshooters kill a player of 100";
    const int64_t attacks = riot.living.Tally().attacks;
    riot.Run(10.0);
    EXPECT_EQ(riot.living.Tally().attacks, attacks) << "nobody attacks a dead player";
}

TEST(FightModel, ASeedGivesTheSameRiotAndAnotherSeedAnother) {
    auto play = [](uint64_t seed) {
        WorldPlan plan;
        plan.seed = seed;
        plan.rules.vanishPerMinute = 2.0f;
        Arena arena(plan);
        std::vector<int32_t> handles;
        for (int k = 0; k < 12; ++k)
            handles.push_back(
                arena.Add(static_cast<float>(k * 7 % 23), static_cast<float>(k * 5 % 17), k % 2 == 0, k * 8));
        for (int k = 0; k < 12; ++k)
            arena.Ped(handles[k]).combatTarget = handles[(k + 5) % 12];
        arena.Run(30.0);
        std::string state;
        for (int32_t handle : handles) {
            const SimPed& ped = arena.Ped(handle);
            state +=
                std::to_string(ped.exists) + std::to_string(ped.alive) + std::to_string(ped.health) + ";";
        }
        return state + std::to_string(arena.living.Tally().hits) + "/" +
               std::to_string(arena.living.Tally().vanished);
    };
    EXPECT_EQ(play(3), play(3));
    EXPECT_NE(play(3), play(4));
}

TEST(FightModel, PathPositionHoldsTheEndsAndInterpolates) {
    const std::vector<PathPoint> path = {{2.0, 10.0f, 0.0f}, {4.0, 10.0f, 20.0f}};
    Vec3 forward{0.0f, 0.0f, 0.0f};
    EXPECT_FLOAT_EQ(PathPosition(path, 0.0, &forward).x, 10.0f);
    EXPECT_FLOAT_EQ(PathPosition(path, 3.0, &forward).y, 10.0f);
    EXPECT_FLOAT_EQ(forward.y, 1.0f);
    EXPECT_FLOAT_EQ(PathPosition(path, 9.0, &forward).y, 20.0f);
    EXPECT_FLOAT_EQ(PathPosition({}, 1.0, nullptr).x, 0.0f);
}

}  // namespace
