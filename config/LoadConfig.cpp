#include "config/LoadConfig.h"

void LoadConfig() {}
