// One typed function per native the script calls.
#pragma once
#include <cstdint>

#include "host/Vector3.h"

using Ped = int32_t;
using Entity = int32_t;
using Player = int32_t;
using Hash = uint32_t;

Ped PlayerPedId();
Player PlayerId();
Vector3 GetEntityCoords(Entity entity, int32_t alive);
Vector3 GetEntityForwardVector(Entity entity);
bool IsPedInAnyVehicle(Ped ped, int32_t atGetIn);
bool DoesEntityExist(Entity entity);
bool PedStateCheck(Ped ped);
bool PlayerStateCheck(int32_t value);
Hash GetHashKey(const char* text);
void RequestModel(Hash model);
bool HasModelLoaded(Hash model);
Ped CreatePed(int32_t pedType, Hash model, float x, float y, float z, float heading, int32_t isNetwork,
              int32_t thisScriptCheck);
Ped CreateRandomPed(float x, float y, float z);
bool GetSafeCoordForPed(float x, float y, float z, int32_t onGround, Vector3* out, int32_t flags);
void SetPedAccuracy(Ped ped, int32_t accuracy);
void SetPedRelationshipGroupHash(Ped ped, Hash group);
void AddRelationshipGroup(const char* name, Hash* group);
void RemoveRelationshipGroup(Hash group);
void GiveDelayedWeaponToPed(Ped ped, Hash weapon, int32_t ammo, int32_t equipNow);
void ClearPedTasks(Ped ped);
void TaskCombatPed(Ped ped, Ped target, int32_t flagA, int32_t flagB);
void SetPedAsNoLongerNeeded(Ped* ped);
void DeleteEntity(Entity* entity);
void SetPlayerWantedLevel(Player player, int32_t level, int32_t delayedResponse);
void SetPlayerWantedLevelNow(Player player, int32_t delayedResponse);
void SetWantedLevelMultiplier(float multiplier);
void SetTextFont(int32_t font);
void SetTextScale(float scaleX, float scaleY);
void SetTextColour(int32_t red, int32_t green, int32_t blue, int32_t alpha);
void SetTextWrap(float start, float end);
void SetTextCentre(int32_t centre);
void SetTextDropshadow(int32_t distance, int32_t red, int32_t green, int32_t blue, int32_t alpha);
void SetTextEdge(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e);
void BeginTextEntry(const char* text);
void AddTextComponentString(const char* text);
void DrawText(float x, float y);
