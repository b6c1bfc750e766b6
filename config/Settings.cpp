#include "config/Settings.h"

#include "config/WeaponLists.h"

SettingsRecord BuiltInSettings() {
    SettingsRecord s;
    s.ConfigFileName = ConfigFileNameBuiltIn;
    s.MaxRioters = 20;
    s.EnableKey = 118;
    s.DisableCops = true;
    s.PedAccuracy = 1.0;
    s.RiotersOnlyAttackPlayer = false;
    return s;
}
