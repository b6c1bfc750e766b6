// What the config editor's page is made from, as JSON: the key rows (config/ConfigKeys.h) with the form field
// each takes, the toggle key's names, and the game's weapon and ped model names (the thrown weapons marked).
// The page builds its form from it and the schema for text editors is made from it (ConfigSchema.h).
#pragma once
#include <json/value.h>

Json::Value EditorData();
