#include "script/RiotFigures.h"

#include <string>

#include <fmt/format.h>

#include "config/KeyNames.h"
#include "host/Frames.h"
#include "host/HostState.h"
#include "host/Seam.h"
#include "riot/Combat.h"
#include "riot/Cull.h"
#include "riot/RiotState.h"
#include "script/ScriptLog.h"
#include "script/ScriptState.h"

namespace {

double Milliseconds(uint64_t counts) {
    return static_cast<double>(counts) * 1000.0 / static_cast<double>(PerformanceFrequency());
}

// "the combat pass", "a config load and the recruitment pass", ...
std::string PassesOf(uint32_t ran) {
    const std::pair<uint32_t, const char*> names[] = {
        {PassLoad, "a config load"}, {PassRecruit, "the recruitment pass"}, {PassCombat, "the combat pass"}};
    std::string text;
    for (const auto& [pass, name] : names)
        if (ran & pass) text += (text.empty() ? "" : " and ") + std::string(name);
    return text.empty() ? "the key query and the status text" : text;
}

std::string Since(const RiotFiguresRecord& f) {
    const RiotCountsRecord& now = Riot().RiotCounts;
    const auto released = [&](CullReason reason) {
        const int k = static_cast<int>(reason);
        return now.Released[k] - f.AtOn.Released[k];
    };
    const uint64_t gone = released(CullReason::Gone), failed = released(CullReason::FailedPedCheck),
                   far = released(CullReason::TooFar);
    std::string text = fmt::format(
        "  rioters recruited: {}\n  released: {} (gone {}, failed the ped check {}, {} units or more away "
        "{})\n"
        "  dropped at the reload: {} (their peds stay in the world, no longer led)\n",
        now.Recruited - f.AtOn.Recruited, gone + failed + far, gone, failed, CullDistance, far,
        now.Dropped - f.AtOn.Dropped);
    text += fmt::format("  longest frame held: {:.3f} ms, in {}\n", Milliseconds(Host().Frames.LongestHold),
                        PassesOf(Host().Frames.LongestHoldRan));
    if (f.CombatPasses == 0) return text + "  longest combat pass: none ran\n";
    return text + fmt::format("  longest combat pass: {:.3f} ms, {} game calls\n",
                              Milliseconds(f.LongestCombat), f.LongestCombatCalls);
}

}  // namespace

void RunCombatPass() {
    const uint64_t start = PerformanceCounter(), calls = Host().Frames.NativeCalls;
    CombatTick();
    const uint64_t took = PerformanceCounter() - start;
    RiotFiguresRecord& f = ScriptState.Figures;
    ++f.CombatPasses;
    if (took >= f.LongestCombat) {
        f.LongestCombat = took;
        f.LongestCombatCalls = Host().Frames.NativeCalls - calls;
    }
}

void LogToggle(bool modeEnabled, int32_t key) {
    RiotFiguresRecord& f = ScriptState.Figures;
    try {
        const std::string pressed = KeyNameOf(key) + " pressed: Skirmora ";
        if (LogOpen() && modeEnabled) LogLines(pressed + "enabled");
        if (LogOpen() && !modeEnabled)
            LogLines(fmt::format("{}disabled, after {:.1f} s on\n{}", pressed,
                                 Milliseconds(PerformanceCounter() - f.OnAt) / 1000.0, Since(f)));
    } catch (...) {
    }
    if (!modeEnabled) return;
    f = RiotFiguresRecord();  // the figures count from here
    f.OnAt = PerformanceCounter();
    f.AtOn = Riot().RiotCounts;
    ResetLongestHold();
}
