// The JSON Schema of the config file, for text editors that read schemas: made from the editor's data (the
// key rows and the game's names, EditorData.h), so that such editors offer the keys and the names as you
// type.
#pragma once
#include <json/value.h>

Json::Value ConfigSchema(const Json::Value& editorData);
