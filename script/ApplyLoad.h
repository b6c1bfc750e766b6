// The configuration load in the game: the file read by its name in the settings, the load decided over the
// values in force (config/LoadConfig.h), and what it decided carried out on the game and the script's state.
#pragma once
#include <string>

#include "config/LoadConfig.h"

// What the script's state holds for a load to start from.
LoadBasis BasisInForce();

// Carries out a load's decisions in their order: the groups removed and created, the factions rebuilt, the
// rioters of the old ones let go, then the settings and the shared list in force.
void ApplyLoad(const LoadOutcome& outcome);

// Reads the config file, loads it and carries the load out. Never throws.
void LoadConfig();
