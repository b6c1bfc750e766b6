// What the game's own logs say of its last start: ScriptHookV.log (the hook), asiloader.log (its ASI loader)
// and Skirmora.log (the script, beside the config or in %LOCALAPPDATA%\Skirmora). Each is read through its
// last part only, and a log that is absent is passed over.
#pragma once
#include <string>
#include <vector>

#include "app/check/FolderListing.h"
#include "app/check/Observation.h"

struct GameLogs {
    std::vector<std::string> lines;  // what they say, for the report
    std::vector<Observation> found;  // the problems and notes that they show
    std::string key;                 // the toggle key in force at the last start; "" when no log says
};

// folder: the game's folder, whose absolute path is absolute; script: Skirmora.asi's name there, "" when
// absent.
GameLogs ReadGameLogs(const FolderListing& folder, const std::string& absolute, const std::string& script);
