#include "host/Natives.h"

#include "host/Slots.h"

Ped PlayerPedId() {
    return ResultInt(Invoke(0xD80958FC74E988A6));
}
Player PlayerId() {
    return ResultInt(Invoke(0x4F8644AF03D0E0D6));
}
Vector3 GetEntityCoords(Entity entity, int32_t alive) {
    return ResultVector3(Invoke(0x3FEF770D40960D5A, entity, alive));
}
Vector3 GetEntityForwardVector(Entity entity) {
    return ResultVector3(Invoke(0x0A794A5A57F8DF91, entity));
}
bool IsPedInAnyVehicle(Ped ped, int32_t atGetIn) {
    return ResultBool(Invoke(0x997ABD671D25CA0B, ped, atGetIn));
}
bool DoesEntityExist(Entity entity) {
    return ResultBool(Invoke(0x7239B21A38F536BA, entity));
}
bool PedStateCheck(Ped ped) {
    return ResultBool(Invoke(0xEEF059FAD016D209, ped));
}
bool PlayerStateCheck(int32_t value) {
    return ResultBool(Invoke(0x3E8349C08E4B82E4, value));
}
Hash GetHashKey(const char* text) {
    return ResultHash(Invoke(0xD24D37CC275948CC, text));
}
void RequestModel(Hash model) {
    Invoke(0x963D27A58DF860AC, model);
}
bool HasModelLoaded(Hash model) {
    return ResultBool(Invoke(0x98A4EB5D89A0C952, model));
}
Ped CreatePed(int32_t pedType, Hash model, float x, float y, float z, float heading, int32_t isNetwork,
              int32_t thisScriptCheck) {
    return ResultInt(
        Invoke(0xD49F9B0955C367DE, pedType, model, x, y, z, heading, isNetwork, thisScriptCheck));
}
Ped CreateRandomPed(float x, float y, float z) {
    return ResultInt(Invoke(0xB4AC7D0CF06BFE8F, x, y, z));
}
bool GetSafeCoordForPed(float x, float y, float z, int32_t onGround, Vector3* out, int32_t flags) {
    return ResultBool(Invoke(0xB61C8E878A4199CA, x, y, z, onGround, static_cast<void*>(out), flags));
}
void SetPedAccuracy(Ped ped, int32_t accuracy) {
    Invoke(0x7AEFB85C1D49DEB6, ped, accuracy);
}
void SetPedRelationshipGroupHash(Ped ped, Hash group) {
    Invoke(0xC80A74AC829DDD92, ped, group);
}
void AddRelationshipGroup(const char* name, Hash* group) {
    Invoke(0xF372BC22FCB88606, name, static_cast<void*>(group));
}
void RemoveRelationshipGroup(Hash group) {
    Invoke(0xB6BA2444AB393DA2, group);
}
void GiveDelayedWeaponToPed(Ped ped, Hash weapon, int32_t ammo, int32_t equipNow) {
    Invoke(0xB282DC6EBD803C75, ped, weapon, ammo, equipNow);
}
void ClearPedTasks(Ped ped) {
    Invoke(0xAAA34F8A7CB32098, ped);
}
void TaskCombatPed(Ped ped, Ped target, int32_t flagA, int32_t flagB) {
    Invoke(0xF166E48407BAC484, ped, target, flagA, flagB);
}
void SetPedAsNoLongerNeeded(Ped* ped) {
    Invoke(0x2595DD4236549CE3, static_cast<void*>(ped));
}
void DeleteEntity(Entity* entity) {
    Invoke(0xAE3CBE5BF394C9C9, static_cast<void*>(entity));
}
void SetPlayerWantedLevel(Player player, int32_t level, int32_t delayedResponse) {
    Invoke(0x39FF19C64EF7DA5B, player, level, delayedResponse);
}
void SetPlayerWantedLevelNow(Player player, int32_t delayedResponse) {
    Invoke(0xE0A7D1E497FFCD6F, player, delayedResponse);
}
void SetWantedLevelMultiplier(float multiplier) {
    Invoke(0x020E5F00CDA207BA, multiplier);
}
void SetTextFont(int32_t font) {
    Invoke(0x66E0276CC5F6B9DA, font);
}
void SetTextScale(float scaleX, float scaleY) {
    Invoke(0x07C837F9A01C34C9, scaleX, scaleY);
}
void SetTextColour(int32_t red, int32_t green, int32_t blue, int32_t alpha) {
    Invoke(0xBE6B23FFA53FB442, red, green, blue, alpha);
}
void SetTextWrap(float start, float end) {
    Invoke(0x63145D9C883A1A70, start, end);
}
void SetTextCentre(int32_t centre) {
    Invoke(0xC02F4DBFB51D988B, centre);
}
void SetTextDropshadow(int32_t distance, int32_t red, int32_t green, int32_t blue, int32_t alpha) {
    Invoke(0x465C84BC39F1C351, distance, red, green, blue, alpha);
}
void SetTextEdge(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e) {
    Invoke(0x441603240D202FA6, a, b, c, d, e);
}
void BeginTextEntry(const char* text) {
    Invoke(0x25FBB336DF1804CB, text);
}
void AddTextComponentString(const char* text) {
    Invoke(0x6C188BE134E074AA, text);
}
void DrawText(float x, float y) {
    Invoke(0xCD015E5BB0D96A57, x, y);
}
