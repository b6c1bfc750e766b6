#pragma once

// One recruitment pass: spawns batches of rioters near the player within the caps.
void RecruitTick();
