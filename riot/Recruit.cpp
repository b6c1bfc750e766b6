#include "riot/Recruit.h"

void RecruitTick() {}
