#include "config/Settings.h"

#include <algorithm>

int32_t AccuracyInteger(double accuracy) {
    if (accuracy != accuracy) return 0;
    if (accuracy >= 2147483647.0) return 2147483647;
    if (accuracy <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int32_t>(accuracy);
}

uint64_t MostRiotersOf(uint64_t factionCaps, int32_t maxRioters) {
    return std::min<uint64_t>(factionCaps, static_cast<uint64_t>(std::max(0, maxRioters)));
}
