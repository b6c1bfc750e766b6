// Arbitrary bytes as a scenario file: the reader refuses what it cannot play with a message, never anything
// else, and what it accepts is a scenario the run can play.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/run/Scenario.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

bool Ordered(const Scenario& s) {
    for (size_t k = 1; k < s.presses.size(); ++k)
        if (s.presses[k].seconds < s.presses[k - 1].seconds) return false;
    for (size_t k = 1; k < s.world.player.path.size(); ++k)
        if (s.world.player.path[k].seconds <= s.world.player.path[k - 1].seconds) return false;
    return !s.world.player.path.empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const Scenario scenario = ParseScenario(text, "fuzz.json");
        if (!(scenario.seconds >= 0.001 && scenario.seconds <= 86400.0) ||
            !(scenario.frameMs >= 1.0 && scenario.frameMs <= 1000.0) || !Ordered(scenario))
            FuzzFailure("a scenario the run cannot play was accepted");
    } catch (const ScenarioError& error) {
        if (std::string(error.what()).rfind("fuzz.json", 0) != 0) FuzzFailure("a message without the file");
    }
    return 0;
}
