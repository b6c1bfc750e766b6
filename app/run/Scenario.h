// A scenario: how long a riot runs, what the player does, when keys are pressed, and how the world behaves.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "sim/Fight.h"

struct KeyPress {
    double seconds = 0.0;
    int32_t key = 0;  // 0: the toggle key in force at that moment
};

struct Scenario {
    std::string name = "built-in";
    double seconds = 60.0;
    double frameMs = 1000.0 / 60.0;
    uint32_t clockStart = 0;
    std::vector<KeyPress> presses{{1.0, 0}};
    std::vector<double> snapshots;  // moments of the maps; none: six spread over the run
    int32_t modelLoadPolls = 0;
    std::vector<std::string> neverLoadingModels;
    std::vector<int64_t> failingSpawns;
    float groundZ = 0.0f;
    WorldPlan world;
};

// What is wrong with a scenario file, with the file and line: "city.json:12: "player.path[2].at" must be
// ...".
class ScenarioError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The scenario that runs when none is given: a walk, a drive that leaves the riot behind, a death.
Scenario BuiltInScenario();

// Reads a scenario file, standard input for "-"; keys it does not hold keep the built-in scenario's values.
// Throws ScenarioError.
Scenario ReadScenario(const std::string& path);
// The same from text; `name` is the file name used in messages.
Scenario ParseScenario(const std::string& text, const std::string& name);
