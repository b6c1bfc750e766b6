// What the game's own logs say of its last start: ScriptHookV.log (the hook), asiloader.log (its ASI loader)
// and Skirmora.log (the script, beside the config or in %LOCALAPPDATA%\Skirmora). Each is read through its
// last part only, in whatever encoding it has; a log that is absent is passed over. A log older than the
// install it would judge (Skirmora.asi put in after the game's last start, a Skirmora.log of an earlier
// start, another folder or another version) is said to be so, not read as the last start.
#pragma once
#include <string>
#include <vector>

#include "app/check/FolderListing.h"
#include "app/check/Observation.h"

struct InstallFacts {
    std::string absolute;  // the game's folder, absolute
    std::string script;    // Skirmora.asi's name there, "" when absent
    std::string version;   // the installed Skirmora's version, "" when unknown
    bool legacy = true;    // the Legacy edition, else the Enhanced one
};

struct GameLogs {
    std::vector<std::string> lines;  // what they say, for the report
    std::vector<Observation> found;  // the problems and notes that they show
};

GameLogs ReadGameLogs(const FolderListing& folder, const InstallFacts& install);

// Where a player asks for help: "at ADDRESS" when the build sets SKIRMORA_HELP_ADDRESS, else on the page the
// player got Skirmora from.
std::string WhereToAskForHelp();
