#include "riot/Combat.h"

void CombatTick() {}
