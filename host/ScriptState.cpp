#include "host/ScriptState.h"

#include "config/Settings.h"
#include "config/WeaponLists.h"
#include "host/ScriptMain.h"
#include "host/StatusText.h"
#include "host/Ticks.h"
#include "riot/Random.h"
#include "riot/Roster.h"

void ResetScriptState() {
    Settings = BuiltInSettings();
    SharedWeaponList = BuiltInWeaponList();
    FactionList.clear();
    RioterGroup = 0;
    StatusText = StatusTextRecord();
    ResetTickExtension();
    ResetRand();
}
