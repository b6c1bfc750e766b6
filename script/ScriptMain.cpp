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

}  // namespace

void ScriptMain() {
    StartLog();
    if (LogOpen()) StartHolding();
    uint64_t recruitDue = ReadTick() + 500;
    uint64_t combatDue = ReadTick() + 1000;
    bool modeEnabled = false;
    bool keyLatch = false;
    uint64_t graceEnd = 0;
    LoadAndLog(LoadCause::Start);
    AddRelationshipGroup("RIOTER", &RioterGroup);

    for (;;) {
        const uint64_t tick = ReadTick();
        if (tick > recruitDue && modeEnabled && tick > graceEnd) {
            BeginPass(PassRecruit);
            RecruitTick();
            EndPass();
            recruitDue = ReadTick() + 100;
        }
        if (tick > combatDue && modeEnabled && tick > graceEnd) {
            BeginPass(PassCombat);
            RunCombatPass();
            combatDue = ReadTick() + 1000;
            SuppressPolice();
            EndPass();
        }
        if (KeyDown() && !keyLatch) {
            keyLatch = true;
            const int32_t pressed = Settings.EnableKey;  // the load may name another key
            LoadAndLog(LoadCause::Press, pressed);
            modeEnabled = !modeEnabled;
            graceEnd = ReadTick() + 3000;
            ShowStatusText(modeEnabled ? "Skirmora enabled" : "Skirmora disabled");
            LogToggle(modeEnabled, pressed);
        } else if (!KeyDown()) {
            keyLatch = false;
        }
        DrawStatusText();
        WaitFrame(0);
    }
}
