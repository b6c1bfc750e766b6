// Every native the script calls, declared once: its name, its 64-bit hash and its C++ signature, arguments in
// push order. The call layer (host/Natives.h) makes one typed function of each, and the simulated game reads
// each argument's slot by the kind its type gives (host/NativeCatalogue.h). A new native is one line here and
// its answer in the simulated game (sim/Answers.cpp), which the build requires.
#pragma once
#include <cstdint>

#include "host/Vector3.h"

using Ped = int32_t;
using Entity = int32_t;
using Player = int32_t;
using Hash = uint32_t;

// X(name, hash, signature)
#define SKIRMORA_NATIVES(X)                                                                                  \
    X(PlayerPedId, 0xD80958FC74E988A6, Ped())                                                                \
    X(PlayerId, 0x4F8644AF03D0E0D6, Player())                                                                \
    X(GetEntityCoords, 0x3FEF770D40960D5A, Vector3(Entity entity, int32_t alive))                            \
    X(GetEntityForwardVector, 0x0A794A5A57F8DF91, Vector3(Entity entity))                                    \
    X(IsPedInAnyVehicle, 0x997ABD671D25CA0B, bool(Ped ped, int32_t atGetIn))                                 \
    X(DoesEntityExist, 0x7239B21A38F536BA, bool(Entity entity))                                              \
    X(PedStateCheck, 0xEEF059FAD016D209, bool(Ped ped))                                                      \
    X(PlayerStateCheck, 0x3E8349C08E4B82E4, bool(int32_t value))                                             \
    X(GetHashKey, 0xD24D37CC275948CC, Hash(const char* text))                                                \
    X(RequestModel, 0x963D27A58DF860AC, void(Hash model))                                                    \
    X(HasModelLoaded, 0x98A4EB5D89A0C952, bool(Hash model))                                                  \
    X(CreatePed, 0xD49F9B0955C367DE,                                                                         \
      Ped(int32_t pedType, Hash model, float x, float y, float z, float heading, int32_t isNetwork,          \
          int32_t thisScriptCheck))                                                                          \
    X(CreateRandomPed, 0xB4AC7D0CF06BFE8F, Ped(float x, float y, float z))                                   \
    X(GetSafeCoordForPed, 0xB61C8E878A4199CA,                                                                \
      bool(float x, float y, float z, int32_t onGround, Vector3* out, int32_t flags))                        \
    X(SetPedAccuracy, 0x7AEFB85C1D49DEB6, void(Ped ped, int32_t accuracy))                                   \
    X(SetPedRelationshipGroupHash, 0xC80A74AC829DDD92, void(Ped ped, Hash group))                            \
    X(AddRelationshipGroup, 0xF372BC22FCB88606, void(const char* name, Hash* group))                         \
    X(RemoveRelationshipGroup, 0xB6BA2444AB393DA2, void(Hash group))                                         \
    X(GiveDelayedWeaponToPed, 0xB282DC6EBD803C75,                                                            \
      void(Ped ped, Hash weapon, int32_t ammo, int32_t equipNow))                                            \
    X(ClearPedTasks, 0xAAA34F8A7CB32098, void(Ped ped))                                                      \
    X(TaskCombatPed, 0xF166E48407BAC484, void(Ped ped, Ped target, int32_t flagA, int32_t flagB))            \
    X(SetPedAsNoLongerNeeded, 0x2595DD4236549CE3, void(Ped * ped))                                           \
    X(DeleteEntity, 0xAE3CBE5BF394C9C9, void(Entity * entity))                                               \
    X(SetPlayerWantedLevel, 0x39FF19C64EF7DA5B, void(Player player, int32_t level, int32_t delayedResponse)) \
    X(SetPlayerWantedLevelNow, 0xE0A7D1E497FFCD6F, void(Player player, int32_t delayedResponse))             \
    X(SetWantedLevelMultiplier, 0x020E5F00CDA207BA, void(float multiplier))                                  \
    X(SetTextFont, 0x66E0276CC5F6B9DA, void(int32_t font))                                                   \
    X(SetTextScale, 0x07C837F9A01C34C9, void(float scaleX, float scaleY))                                    \
    X(SetTextColour, 0xBE6B23FFA53FB442, void(int32_t red, int32_t green, int32_t blue, int32_t alpha))      \
    X(SetTextWrap, 0x63145D9C883A1A70, void(float start, float end))                                         \
    X(SetTextCentre, 0xC02F4DBFB51D988B, void(int32_t centre))                                               \
    X(SetTextDropshadow, 0x465C84BC39F1C351,                                                                 \
      void(int32_t distance, int32_t red, int32_t green, int32_t blue, int32_t alpha))                       \
    X(SetTextEdge, 0x441603240D202FA6, void(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e))          \
    X(BeginTextEntry, 0x25FBB336DF1804CB, void(const char* text))                                            \
    X(AddTextComponentString, 0x6C188BE134E074AA, void(const char* text))                                    \
    X(DrawText, 0xCD015E5BB0D96A57, void(float x, float y))
