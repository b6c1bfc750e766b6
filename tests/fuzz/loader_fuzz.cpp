// Arbitrary bytes as the content of the config file, loaded twice by the script as at two presses, and
// explained by the check, as the game's log tells them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "config/CheckReport.h"
#include "config/LoadVerdict.h"
#include "config/Settings.h"
#include "riot/Roster.h"
#include "script/ApplyLoad.h"
#include "script/ScriptState.h"
#include "sim/Simulation.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Simulation* sim = [] {
        auto* s = new Simulation();
        s->game.trace.keep = false;
        return s;
    }();
    ResetScriptState();
    sim->game.world.groups.clear();
    Settings.ConfigFileName = WriteConfigFile(data, size);
    LoadConfig();
    // A second load removes the groups of the first, starting from what it left.
    LoadConfig();
    CheckedLoad checked;
    if (!CheckLoadBytes(std::string(reinterpret_cast<const char*>(data), size), checked))
        FuzzFailure("the check lost track of a load");
    if (Headline(checked, StatusOf(checked)).empty() || FindingsText(checked).size() > 64 * size + 4096)
        FuzzFailure("the check's account is empty or out of all proportion");
    if (!sim->game.errors.empty()) FuzzFailure(sim->game.errors.front());
    for (const Faction& faction : FactionList)
        if (!faction.Members.empty()) FuzzFailure("a load produced rioters");
    size_t grouped = 0;
    for (const Faction& faction : FactionList)
        if (!faction.WillAttackSelf && !faction.IsDefault) ++grouped;
    // Only the groups of the factions in force are alive, unless a faction failed after creating its group.
    if (sim->game.world.groups.size() > grouped + 2)
        FuzzFailure("groups of an earlier load were left behind");
    return 0;
}
