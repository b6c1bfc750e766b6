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
#include "script/ScriptLogLines.h"
#include "script/ScriptState.h"

namespace {

double Milliseconds(uint64_t counts) {
    return static_cast<double>(counts) * 1000.0 / static_cast<double>(PerformanceFrequency());
}

// "choosing targets", "reading the config and recruiting", ...
std::string PassesOf(uint32_t ran) {
    const std::pair<uint32_t, const char*> names[] = {
        {PassLoad, "reading the config"}, {PassRecruit, "recruiting"}, {PassCombat, "choosing targets"}};
    std::string text;
    for (const auto& [pass, name] : names)
        if (ran & pass) text += (text.empty() ? "" : " and ") + std::string(name);
    return text.empty() ? "watching the key and the text on screen" : text;
}

// In the timeline's words: a rioter is released when it died, vanished (the game took its ped away) or was
// left too far behind.
std::string Since(const RiotFiguresRecord& f) {
    const RiotCountsRecord& now = Riot().RiotCounts;
    const auto released = [&](CullReason reason) {
        const int k = static_cast<int>(reason);
        return now.Released[k] - f.AtOn.Released[k];
    };
    const uint64_t died = released(CullReason::FailedPedCheck), vanished = released(CullReason::Gone),
                   far = released(CullReason::TooFar);
    std::string text = fmt::format(
        "  rioters recruited: {}\n  released: {} (died {}, vanished {}, too far, {} units or more away, {})\n"
        "  let go when this press reloaded the config: {} (their peds stay in the game, no longer led)\n",
        now.Recruited - f.AtOn.Recruited, died + vanished + far, died, vanished, CullDistance, far,
        now.Dropped - f.AtOn.Dropped);
    text += fmt::format("  the longest the script held up one frame: {:.3f} ms, while {}\n",
                        Milliseconds(Host().Frames.LongestHold), PassesOf(Host().Frames.LongestHoldRan));
    if (f.CombatPasses == 0) return text + "  choosing targets: it never ran\n";
    return text + fmt::format(
                      "  the longest round of choosing targets (once a second, within one frame): {:.3f} ms, "
                      "with {} calls to the game\n",
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
        if (LogOpen() && modeEnabled) LogLines(KeyNameOf(key) + LogEnabled);
        if (LogOpen() && !modeEnabled)
            LogLines(fmt::format("{} pressed: Skirmora disabled, after {:.1f} s on\n{}", KeyNameOf(key),
                                 Milliseconds(PerformanceCounter() - f.OnAt) / 1000.0, Since(f)));
    } catch (...) {
    }
    if (!modeEnabled) return;
    f = RiotFiguresRecord();  // the figures count from here
    f.OnAt = PerformanceCounter();
    f.AtOn = Riot().RiotCounts;
    ResetLongestHold();
}
