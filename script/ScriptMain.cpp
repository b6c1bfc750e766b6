#include "script/ScriptMain.h"

#include "config/Settings.h"
#include "host/Frames.h"
#include "host/Natives.h"
#include "host/Seam.h"
#include "host/Ticks.h"
#include "riot/Recruit.h"
#include "riot/Roster.h"
#include "script/LoggedLoad.h"
#include "script/RiotFigures.h"
#include "script/ScriptLog.h"
#include "script/ScriptState.h"
#include "script/StatusText.h"

namespace {

bool KeyDown() {
    return (static_cast<uint16_t>(AsyncKeyState(Settings.EnableKey)) & 0x8000u) != 0;
}

void SuppressPolice() {
    if (Settings.DisableCops) {
        SetPlayerWantedLevel(PlayerId(), 0, 0);
        SetPlayerWantedLevelNow(PlayerId(), 0);
        SetWantedLevelMultiplier(0.0f);
    } else {
        SetWantedLevelMultiplier(1.0f);
    }
}

void RunPasses(LoopRecord& loop, uint64_t tick) {
    if (tick > loop.RecruitDue && loop.ModeEnabled && tick > loop.GraceEnd) {
        BeginPass(PassRecruit);
        RecruitTick();
        EndPass();
        loop.RecruitDue = ReadTick() + 100;
    }
    if (tick > loop.CombatDue && loop.ModeEnabled && tick > loop.GraceEnd) {
        BeginPass(PassCombat);
        RunCombatPass();
        loop.CombatDue = ReadTick() + 1000;
        SuppressPolice();
        EndPass();
    }
}

void PollKey(LoopRecord& loop) {
    if (KeyDown() && !loop.KeyLatch) {
        loop.KeyLatch = true;
        const int32_t pressed = Settings.EnableKey;  // the load may name another key
        LoadAndLog(LoadCause::Press, pressed);
        loop.ModeEnabled = !loop.ModeEnabled;
        loop.GraceEnd = ReadTick() + 3000;
        ShowStatusText(loop.ModeEnabled ? "Skirmora enabled" : "Skirmora disabled");
        LogToggle(loop.ModeEnabled, pressed);
    } else if (!KeyDown()) {
        loop.KeyLatch = false;
    }
}

}  // namespace

void ScriptMain() {
    LoopRecord& loop = ScriptState.Loop;
    StartLog();
    if (LogOpen()) StartHolding();
    loop.RecruitDue = ReadTick() + 500;
    loop.CombatDue = ReadTick() + 1000;
    loop.ModeEnabled = false;
    loop.KeyLatch = false;
    loop.GraceEnd = 0;
    LoadAndLog(LoadCause::Start);
    AddRelationshipGroup(RioterGroupName, &RioterGroup);

    for (;;) {
        RunPasses(loop, ReadTick());
        PollKey(loop);
        DrawStatusText();
        WaitFrame(0);
    }
}
