#pragma once
#include <cstdint>
#include <string>

struct StatusTextRecord {
    std::string Text;
    uint64_t Expiry = 0;  // extended tick; drawn while the tick is below it
};

extern StatusTextRecord& StatusText;  // in the script's state (script/ScriptState.h)

void ShowStatusText(const char* message);
void DrawStatusText();
