#pragma once

// One combat pass: releases departed rioters, then sends each one against its nearest enemy.
void CombatTick();
