#include "script/ScriptMain.h"

#include "config/LoadConfig.h"
#include "config/Settings.h"
#include "host/Natives.h"
#include "host/Seam.h"
#include "script/StatusText.h"
#include "host/Ticks.h"
#include "riot/Combat.h"
#include "riot/Recruit.h"

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
    uint64_t recruitDue = ReadTick() + 500;
    uint64_t combatDue = ReadTick() + 1000;
    bool modeEnabled = false;
    bool keyLatch = false;
    uint64_t graceEnd = 0;
    LoadConfig();
    AddRelationshipGroup("RIOTER", &RioterGroup);

    for (;;) {
        const uint64_t tick = ReadTick();
        if (tick > recruitDue && modeEnabled && tick > graceEnd) {
            RecruitTick();
            recruitDue = ReadTick() + 100;
        }
        if (tick > combatDue && modeEnabled && tick > graceEnd) {
            CombatTick();
            combatDue = ReadTick() + 1000;
            SuppressPolice();
        }
        if (KeyDown() && !keyLatch) {
            keyLatch = true;
            LoadConfig();
            modeEnabled = !modeEnabled;
            graceEnd = ReadTick() + 3000;
            ShowStatusText(modeEnabled ? "Skirmora enabled" : "Skirmora disabled");
        } else if (!KeyDown()) {
            keyLatch = false;
        }
        DrawStatusText();
        scriptWait(0);
    }
}
