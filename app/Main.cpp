// skirmora-sim: runs the script in the simulated game and tells what it did.
#include <fmt/core.h>

#include "host/ScriptMain.h"
#include "host/ScriptState.h"
#include "sim/Simulation.h"

int main() {
    ResetScriptState();
    Simulation sim;
    sim.game.frameMs = 16;
    const int64_t pressFrame = 62;  // about 1 s in
    sim.game.keyboard.Press(118, pressFrame, 3);
    sim.Start(&ScriptMain);
    sim.RunFrames(500);  // 8 s of game time
    sim.Stop();

    fmt::print("Ran ScriptMain for {} frames ({} ms of game time); F7 held from frame {}.\n",
               sim.game.Frame() + 1, sim.game.Tick(), pressFrame);
    int64_t lastDrawFrame = -2;
    std::string lastText;
    for (const TextDraw& draw : sim.game.world.draws) {
        if (draw.text != lastText || draw.frame != lastDrawFrame + 1)
            fmt::print("  frame {:4}: message \"{}\" on screen\n", draw.frame, draw.text);
        lastDrawFrame = draw.frame;
        lastText = draw.text;
    }
    int passes = 0;
    for (const std::string& line : sim.game.trace.lines)
        if (line.find("SetWantedLevelMultiplier(") != std::string::npos) {
            ++passes;
            fmt::print("  police kept away: {}\n", line);
        }
    fmt::print("{} combat passes, {} trace lines, {} protocol faults.\n", passes, sim.game.trace.lines.size(),
               sim.game.errors.size());
    return sim.game.errors.empty() ? 0 : 1;
}
