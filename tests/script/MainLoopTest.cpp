#include <gtest/gtest.h>

#include "config/Settings.h"
#include "riot/RiotState.h"
#include "tests/support/ScriptRun.h"
#include "tests/support/TempDir.h"

using Events = std::vector<std::string>;

TEST(MainLoop, StartUpReadsTwoTicksLoadsThenCreatesTheRioterGroup) {
    ScriptRun run(5000);
    run.Frames(2);
    const Events expected = {
        "GetTickCount() -> 5000",
        "GetTickCount() -> 5000",
        "AddRelationshipGroup(\"RIOTER\", &0x00000000); out 0x464A0970",
        "GetTickCount() -> 5000",
        "GetAsyncKeyState(118) -> 0x00000000",
        "GetAsyncKeyState(118) -> 0x00000000",
        "GetTickCount() -> 5000",
        "scriptWait(0)",
    };
    EXPECT_EQ(run.FrameEvents(0), expected);
    const Events idle = {
        "GetTickCount() -> 5016",
        "GetAsyncKeyState(118) -> 0x00000000",
        "GetAsyncKeyState(118) -> 0x00000000",
        "GetTickCount() -> 5016",
        "scriptWait(0)",
    };
    EXPECT_EQ(run.FrameEvents(1), idle);
}

TEST(MainLoop, NothingHappensBeforeTheFirstPress) {
    ScriptRun run;
    run.Frames(1000);
    for (const std::string& event : run.Events()) {
        const bool allowed = event.rfind("GetTickCount", 0) == 0 || event.rfind("GetAsyncKeyState", 0) == 0 ||
                             event == "scriptWait(0)" ||
                             event.rfind("AddRelationshipGroup(\"RIOTER\"", 0) == 0;
        EXPECT_TRUE(allowed) << event;
    }
    EXPECT_EQ(run.Count("GetAsyncKeyState"), 2000);
}

TEST(MainLoop, PressTogglesOnAndPassesStartAfterTheGracePeriod) {
    TempDir dir;
    dir.WriteConfig(R"({"MaxRioters": 0})");  // recruitment walks the factions but spawns nothing
    ScriptRun run(0, 10);
    run.Frames(10);
    run.Press();  // frame 10, tick 100
    run.Frames(1);
    const Events press = {
        "GetTickCount() -> 100",
        "GetAsyncKeyState(118) -> 0x00008001",
        "GetTickCount() -> 100",
        "GetTickCount() -> 100",
        "GetTickCount() -> 100",
        "SetTextFont(0)",
        "SetTextScale(0.55, 0.55)",
        "SetTextColour(255, 255, 255, 255)",
        "SetTextWrap(0, 1)",
        "SetTextCentre(1)",
        "SetTextDropshadow(0, 0, 0, 0, 0)",
        "SetTextEdge(1, 0, 0, 0, 205)",
        "BeginTextEntry(\"STRING\")",
        "AddTextComponentString(\"Skirmora enabled\")",
        "DrawText(0.5, 0.5)",
        "scriptWait(0)",
    };
    EXPECT_EQ(run.FrameEvents(10), press);

    run.Frames(400);
    // The grace period ends at tick 3100: the frame at exactly 3100 runs no pass, the next runs both.
    const Events atGraceEnd = {
        "GetTickCount() -> 3100",
        "GetAsyncKeyState(118) -> 0x00000000",
        "GetAsyncKeyState(118) -> 0x00000000",
        "GetTickCount() -> 3100",
        "scriptWait(0)",
    };
    EXPECT_EQ(run.FrameEvents(310), atGraceEnd);
    const Events firstPasses = {
        "GetTickCount() -> 3110",  // the pass's tick
        "PlayerPedId() -> 1",      // recruitment: the two gates
        "PedStateCheck(1) -> true",
        "PlayerStateCheck(0) -> true",
        "PlayerPedId() -> 1",  // the default faction's spawn point, its cap of 0 reached
        "GetEntityForwardVector(1) -> (0, 1, 0)",
        "GetEntityCoords(1, 1) -> (0, 0, 0)",
        "IsPedInAnyVehicle(1, 1) -> false",
        "GetSafeCoordForPed(0, -90, 0, 0, &(0, -90, 0), 0) -> true; out (0, -90, 0)",
        "GetTickCount() -> 3110",  // recruitment due again 100 ms after it returned
        "GetTickCount() -> 3110",  // combat (nobody to cull or task) due again 1000 ms after it returned
        "PlayerId() -> 0",
        "SetPlayerWantedLevel(0, 0, 0)",
        "PlayerId() -> 0",
        "SetPlayerWantedLevelNow(0, 0)",
        "SetWantedLevelMultiplier(0)",
        "GetAsyncKeyState(118) -> 0x00000000",
        "GetAsyncKeyState(118) -> 0x00000000",
        "GetTickCount() -> 3110",
        "scriptWait(0)",
    };
    EXPECT_EQ(run.FrameEvents(311), firstPasses);
    run.Frames(2);
    // Recruitment is due after 3210 (not at it), combat after 4110.
    const auto recruitFrames = run.FramesWith("PedStateCheck(1)");
    ASSERT_GE(recruitFrames.size(), 3u);
    EXPECT_EQ(recruitFrames[1], 322);
    EXPECT_EQ(recruitFrames[2], 333);
    EXPECT_EQ(run.FramesWith("SetWantedLevelMultiplier"), (std::vector<int64_t>{311, 412}));
}

TEST(MainLoop, HeldKeyTogglesOnceAndTheLatchClearsAfterOneUpPass) {
    ScriptRun run;
    run.Frames(5);
    run.Press(100);  // frames 5..104
    run.Frames(150);
    EXPECT_EQ(run.Count("AddTextComponentString(\"Skirmora enabled\")") > 0, true);
    EXPECT_EQ(run.Count("AddTextComponentString(\"Skirmora disabled\")"), 0);
    // A press gives one key query in its pass, any other pass two.
    EXPECT_EQ(run.FrameEvents(5)[1], "GetAsyncKeyState(118) -> 0x00008001");
    EXPECT_EQ(run.FrameEvents(5)[2], "GetTickCount() -> 80");
    EXPECT_EQ(run.FrameEvents(6)[1], "GetAsyncKeyState(118) -> 0x00008000");
}

TEST(MainLoop, ToggleSequences) {
    struct Case {
        const char* what;
        std::vector<std::pair<int64_t, int64_t>> holds;  // first frame, frames held
        Events messages;
    };
    const Case cases[] = {
        {"one press", {{5, 1}}, {"Skirmora enabled"}},
        {"held for 300 frames", {{5, 300}}, {"Skirmora enabled"}},
        {"up for one pass between", {{5, 1}, {7, 1}}, {"Skirmora enabled", "Skirmora disabled"}},
        {"no up pass between", {{5, 1}, {6, 1}}, {"Skirmora enabled"}},
        {"three presses",
         {{5, 2}, {20, 2}, {40, 1}},
         {"Skirmora enabled", "Skirmora disabled", "Skirmora enabled"}},
    };
    for (const Case& c : cases) {
        ScriptRun run;
        for (auto [first, frames] : c.holds)
            run.game().keyboard.Press(118, first, frames);
        run.Frames(400);
        Events messages;
        for (const std::string& event : run.Events("AddTextComponentString(")) {
            std::string text = event.substr(24, event.size() - 26);
            if (messages.empty() || messages.back() != text) messages.push_back(text);
        }
        EXPECT_EQ(messages, c.messages) << c.what;
    }
}

TEST(MainLoop, OtherKeysDoNotToggle) {
    ScriptRun run;
    run.Press(5, 117);
    run.Frames(100);
    EXPECT_EQ(run.Count("DrawText"), 0);
    EXPECT_EQ(run.Count("GetAsyncKeyState(117)"), 0);
}

TEST(MainLoop, PressWhileOnStopsEveryPassAndLeavesTheMultiplier) {
    ScriptRun run(0, 10);
    run.game().keyboard.Press(118, 1, 1);
    run.game().keyboard.Press(118, 600, 1);  // off again at tick 6000
    run.Frames(1500);
    const auto multiplierFrames = run.FramesWith("SetWantedLevelMultiplier");
    ASSERT_FALSE(multiplierFrames.empty());
    EXPECT_LT(multiplierFrames.back(), 600);
    EXPECT_EQ(run.Count("AddTextComponentString(\"Skirmora disabled\")"), 300);
    EXPECT_EQ(run.world().wantedMultiplier, 0.0f);
}

TEST(MainLoop, PoliceSuppressionFollowsDisableCops) {
    for (bool disableCops : {true, false}) {
        ScriptRun run(0, 10);
        Riot().Settings.DisableCops = disableCops;
        run.Press();
        run.Frames(3000);  // 30 s: the mode is on from 3 s
        const int passes = run.Count("SetWantedLevelMultiplier");
        EXPECT_GE(passes, 26) << disableCops;
        EXPECT_LE(passes, 28) << disableCops;
        if (disableCops) {
            EXPECT_EQ(run.Count("SetWantedLevelMultiplier(0)"), passes);
            EXPECT_EQ(run.Count("PlayerId()"), 2 * passes);
            EXPECT_EQ(run.Count("SetPlayerWantedLevel(0, 0, 0)"), passes);
            EXPECT_EQ(run.Count("SetPlayerWantedLevelNow(0, 0)"), passes);
        } else {
            EXPECT_EQ(run.Count("SetWantedLevelMultiplier(1)"), passes);
            EXPECT_EQ(run.Count("PlayerId()"), 0);
            EXPECT_EQ(run.Count("SetPlayerWantedLevel"), 0);
        }
    }
}

TEST(MainLoop, ConfiguredToggleKeyIsQueried) {
    ScriptRun run;
    Riot().Settings.EnableKey = 112;
    run.Press(1, 112);
    run.Frames(10);
    EXPECT_EQ(run.Count("GetAsyncKeyState(118)"), 0);
    EXPECT_EQ(run.Count("AddTextComponentString(\"Skirmora enabled\")"), 10);
}
