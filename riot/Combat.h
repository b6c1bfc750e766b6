#pragma once

#include "host/Natives.h"
#include "riot/Roster.h"

// One combat pass: releases departed rioters, then sends each one against its nearest enemy.
void CombatTick();

// The nearest hostile rioter or the player within range; false when there is none.
bool FindNearestEnemy(Ped ped, const Faction& faction, Ped* target);
