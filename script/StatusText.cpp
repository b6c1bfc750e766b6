#include "script/StatusText.h"

#include "host/Natives.h"
#include "host/Ticks.h"

void ShowStatusText(const char* message) {
    StatusText.Text = message;
    StatusText.Expiry = ReadTick() + 3000;
}

void DrawStatusText() {
    if (ReadTick() >= StatusText.Expiry) return;
    SetTextFont(0);
    SetTextScale(0.55f, 0.55f);
    SetTextColour(255, 255, 255, 255);
    SetTextWrap(0.0f, 1.0f);
    SetTextCentre(1);
    SetTextDropshadow(0, 0, 0, 0, 0);
    SetTextEdge(1, 0, 0, 0, 205);
    BeginTextEntry("STRING");
    AddTextComponentString(StatusText.Text.c_str());
    DrawText(0.5f, 0.5f);
}
