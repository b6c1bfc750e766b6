#pragma once

// Releases every rioter whose ped is gone, fails the ped check or is 150 units or more from the player.
void CullRioters();
