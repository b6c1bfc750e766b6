#include <gtest/gtest.h>

#include "script/StatusText.h"
#include "tests/support/ScriptRun.h"

namespace {
std::vector<int64_t> DrawFrames(const World& world) {
    std::vector<int64_t> frames;
    for (const TextDraw& draw : world.draws)
        frames.push_back(draw.frame);
    return frames;
}
}  // namespace

TEST(StatusText, ShownForExactly3000ms) {
    ScriptRun run(0, 10);
    run.game().keyboard.Press(118, 20, 1);  // tick 200: shown while the tick is below 3200
    run.Frames(400);
    const auto frames = DrawFrames(run.world());
    ASSERT_EQ(frames.size(), 300u);
    EXPECT_EQ(frames.front(), 20);
    EXPECT_EQ(frames.back(), 319);
    EXPECT_EQ(run.world().draws.front().text, "Skirmora enabled");
    EXPECT_EQ(run.world().draws.front().x, 0.5f);
}

TEST(StatusText, ASecondToggleReplacesTheMessageAndRestartsTheWindow) {
    ScriptRun run(0, 10);
    run.game().keyboard.Press(118, 20, 1);
    run.game().keyboard.Press(118, 120, 1);  // 1 s later
    run.Frames(600);
    const auto& draws = run.world().draws;
    ASSERT_EQ(draws.size(), 100u + 300u);
    EXPECT_EQ(draws[99].text, "Skirmora enabled");
    EXPECT_EQ(draws[100].text, "Skirmora disabled");
    EXPECT_EQ(draws[100].frame, 120);
    EXPECT_EQ(draws.back().frame, 419);
}

TEST(StatusText, DrawIsTenCallsInOrderOrOneTickRead) {
    ScriptRun run(1000, 16);
    ShowStatusText("a long message, passed whole to the game however long it is");
    DrawStatusText();
    const std::vector<std::string> expected = {
        "GetTickCount() -> 1000",
        "GetTickCount() -> 1000",
        "SetTextFont(0)",
        "SetTextScale(0.55, 0.55)",
        "SetTextColour(255, 255, 255, 255)",
        "SetTextWrap(0, 1)",
        "SetTextCentre(1)",
        "SetTextDropshadow(0, 0, 0, 0, 0)",
        "SetTextEdge(1, 0, 0, 0, 205)",
        "BeginTextEntry(\"STRING\")",
        "AddTextComponentString(\"a long message, passed whole to the game however long it is\")",
        "DrawText(0.5, 0.5)",
    };
    EXPECT_EQ(run.Events(), expected);
    run.game().SetTick(4000);
    DrawStatusText();
    EXPECT_EQ(run.Events().size(), expected.size() + 1);
}
