#include <gtest/gtest.h>

#include "tests/support/ScriptRun.h"
#include "tests/support/TempDir.h"

// Timers, the grace period and the message keep working when the 32-bit tick wraps to zero.
TEST(TickWrap, EveryTimerRunsAcrossTheWrap) {
    TempDir dir;
    dir.WriteConfig(R"({"MaxRioters": 0})");     // no spawns: every pass ends within its frame
    const uint32_t start = 0xFFFFFFFFu - 9999u;  // 10 s below the wrap
    ScriptRun run(start, 10);
    run.game().keyboard.Press(118, 500, 1);   // 5 s before the wrap: grace ends 2 s before it
    run.game().keyboard.Press(118, 990, 1);   // off just before the wrap, shown across it
    run.game().keyboard.Press(118, 1500, 1);  // on again after the wrap
    run.Frames(3000);

    const auto draws = run.world().draws;
    ASSERT_EQ(draws.size(), 900u);
    EXPECT_EQ(draws[300].text, "Skirmora disabled");
    EXPECT_EQ(draws[300].frame, 990);
    EXPECT_EQ(draws[599].frame, 1289);
    EXPECT_EQ(draws[600].frame, 1500);
    EXPECT_EQ(draws.back().frame, 1799);

    // Combat passes while on: from frame 801 every 1000 ms until frame 990, and from 1801 on after the wrap.
    const auto passes = run.FramesWith("SetWantedLevelMultiplier");
    const std::vector<int64_t> expected = {801,  902,  1801, 1902, 2003, 2104, 2205,
                                           2306, 2407, 2508, 2609, 2710, 2811, 2912};
    EXPECT_EQ(passes, expected);
}

TEST(TickWrap, ModeLeftOnRunsThroughTheWrap) {
    TempDir dir;
    dir.WriteConfig(R"({"MaxRioters": 0})");
    ScriptRun run(0xFFFFFFFFu - 9999u, 10);
    run.game().keyboard.Press(118, 1, 1);
    run.Frames(3000);  // 30 s, the wrap at 10 s
    const auto passes = run.FramesWith("SetWantedLevelMultiplier");
    ASSERT_EQ(passes.size(), 27u);
    for (size_t k = 1; k < passes.size(); ++k)
        EXPECT_EQ(passes[k] - passes[k - 1], 101) << k;
}

TEST(TickWrap, NothingIsDrawnBeforeTheFirstPressAtAnyTick) {
    for (uint32_t start : {0u, 0x80000000u, 0xFFFFFFFFu - 100u, 0xFFFFFFF0u}) {
        ScriptRun run(start, 16);
        run.Frames(500);
        EXPECT_EQ(run.world().draws.size(), 0u) << start;
        EXPECT_EQ(run.Count("SetWantedLevelMultiplier"), 0) << start;
    }
}

TEST(TickWrap, AMessageSetJustBeforeTheWrapShowsFor3000ms) {
    ScriptRun run(0xFFFFFFFFu - 1000u, 10);  // the expiry itself lies past the wrap
    run.Press();
    run.Frames(400);
    EXPECT_EQ(run.world().draws.size(), 300u);
}
