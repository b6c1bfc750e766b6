// Game sessions run through both builds: the Linux simulator and the shipped DLL under Wine.
#pragma once
#include <cstdint>

class Game;

struct Scenario {
    const char* name;
    const char* config;  // written as Skirmora_config.txt before the run; nullptr: no file
    uint32_t startTick;
    uint32_t frameMs;
    int64_t frames;
    void (*setup)(Game& game);
};

extern const Scenario Scenarios[];
extern const int ScenarioCount;
const Scenario* FindScenario(const char* name);
