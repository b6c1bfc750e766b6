#pragma once
#include <cstdint>

#include "config/Settings.h"
#include "host/Natives.h"
#include "riot/Roster.h"

// One recruitment pass: spawns batches of rioters near the player within the caps.
void RecruitTick();

// The factions' caps added up (a negative cap reads as a huge one, as recruitment reads it), and the most
// rioters recruitment can hold at once: that sum within MaxRioters.
uint64_t FactionCaps();
uint64_t MostRioters();

// Fills the record with this pass's spawn point for a faction and returns it.
Vector3& ChooseSpawnPoint(Vector3& out);

// Gives a new ped its accuracy and relationship group; the record has no target yet.
Rioter SetupRioter(Ped ped, Hash group);
