#pragma once

// Reads the configuration file, applies it to the settings and rebuilds the factions.
// Never throws: a broken file ends the load where it breaks and keeps what was applied before.
void LoadConfig();
