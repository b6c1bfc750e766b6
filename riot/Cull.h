#pragma once

// A rioter this far from the player, or farther, is released.
constexpr float CullDistance = 150.0f;

// Releases every rioter whose ped is gone, fails the ped check or is CullDistance or more from the player.
void CullRioters();
