#include "sim/Answers.h"

#include "config/Jenkins.h"

namespace {
SimPed* PedAt(NativeCall c, int k) {
    return c.world.FindPed(c.I(k));
}
}  // namespace

FailingCalls World::*FailuresOf(NativeId native) {
    switch (native) {
        case NativeId::CreatePed:
        case NativeId::CreateRandomPed:
            return &World::spawns;
        case NativeId::GetSafeCoordForPed:
            return &World::safeCoords;
        default:
            return nullptr;
    }
}

void Answer::PlayerPedId(NativeCall c) {
    c.ReturnInt(c.world.playerPed);
}
void Answer::PlayerId(NativeCall c) {
    c.ReturnInt(c.world.playerIndex);
}
void Answer::GetEntityCoords(NativeCall c) {
    c.ReturnVector(c.world.PositionOf(c.I(0)));
}
void Answer::GetEntityForwardVector(NativeCall c) {
    c.ReturnVector(c.I(0) == c.world.playerPed ? c.world.playerForward : Vec3{0.0f, 1.0f, 0.0f});
}
void Answer::IsPedInAnyVehicle(NativeCall c) {
    c.ReturnBool(c.I(0) == c.world.playerPed && c.world.playerInVehicle);
}
void Answer::DoesEntityExist(NativeCall c) {
    c.ReturnBool(c.world.Exists(c.I(0)));
}
void Answer::PedStateCheck(NativeCall c) {
    if (c.I(0) == c.world.playerPed) return c.ReturnBool(c.world.playerPedCheck);
    SimPed* ped = PedAt(c, 0);
    c.ReturnBool(ped && ped->exists && ped->alive);
}
void Answer::PlayerStateCheck(NativeCall c) {
    c.ReturnBool(c.world.playerStateCheck);
}
void Answer::GetHashKey(NativeCall c) {
    c.Result()[0] = JenkinsHash(c.S(0));
}
void Answer::RequestModel(NativeCall c) {
    c.world.requestedModels.insert(c.U(0));
}
void Answer::HasModelLoaded(NativeCall c) {
    const uint32_t model = c.U(0);
    if (!c.world.requestedModels.count(model) || c.world.ModelNeverLoads(model)) return c.ReturnBool(false);
    int32_t& polls = c.world.modelPolls[model];
    if (polls >= c.world.modelLoadPolls) return c.ReturnBool(true);
    ++polls;
    c.ReturnBool(false);
}
void Answer::CreatePed(NativeCall c) {
    c.ReturnInt(c.world.AddPed({c.F(2), c.F(3), c.F(4)}, c.U(1), false, c.game.Frame()));
}
void Answer::CreateRandomPed(NativeCall c) {
    c.ReturnInt(c.world.AddPed({c.F(0), c.F(1), c.F(2)}, 0, true, c.game.Frame()));
}
void Answer::GetSafeCoordForPed(NativeCall c) {
    NativeCall::WriteVector(c.P<unsigned char>(4), {c.F(0), c.F(1), c.world.groundZ});
    c.ReturnBool(true);
}
void Answer::SetPedAccuracy(NativeCall c) {
    if (SimPed* ped = PedAt(c, 0)) ped->accuracy = c.I(1);
}
void Answer::SetPedRelationshipGroupHash(NativeCall c) {
    if (SimPed* ped = PedAt(c, 0)) ped->group = c.U(1);
}
void Answer::AddRelationshipGroup(NativeCall c) {
    const uint32_t hash = JenkinsHash(c.S(0));
    c.world.groups[hash] = c.S(0);
    *c.P<uint32_t>(1) = hash;
}
void Answer::RemoveRelationshipGroup(NativeCall c) {
    c.world.groups.erase(c.U(0));
}
void Answer::GiveDelayedWeaponToPed(NativeCall c) {
    SimPed* ped = PedAt(c, 0);
    if (ped && World::IsGameWeapon(c.U(1))) ped->weapons.push_back(c.U(1));
}
void Answer::ClearPedTasks(NativeCall c) {
    if (SimPed* ped = PedAt(c, 0)) ped->combatTarget = 0;
}
void Answer::TaskCombatPed(NativeCall c) {
    if (SimPed* ped = PedAt(c, 0)) ped->combatTarget = c.I(1);
}
void Answer::SetPedAsNoLongerNeeded(NativeCall c) {
    if (SimPed* ped = c.world.FindPed(*c.P<int32_t>(0))) ped->released = true;
}
void Answer::DeleteEntity(NativeCall c) {
    int32_t* handle = c.P<int32_t>(0);
    if (SimPed* ped = c.world.FindPed(*handle)) ped->exists = false;
    *handle = 0;
}
void Answer::SetPlayerWantedLevel(NativeCall c) {
    c.world.wantedLevel = c.I(1);
}
void Answer::SetPlayerWantedLevelNow(NativeCall) {}
void Answer::SetWantedLevelMultiplier(NativeCall c) {
    c.world.wantedMultiplier = c.F(0);
}

// The text's style is not kept; each DrawText records the text entered for it.
void Answer::SetTextFont(NativeCall) {}
void Answer::SetTextScale(NativeCall) {}
void Answer::SetTextColour(NativeCall) {}
void Answer::SetTextWrap(NativeCall) {}
void Answer::SetTextCentre(NativeCall) {}
void Answer::SetTextDropshadow(NativeCall) {}
void Answer::SetTextEdge(NativeCall) {}
void Answer::BeginTextEntry(NativeCall c) {
    c.world.pendingText.clear();
}
void Answer::AddTextComponentString(NativeCall c) {
    c.world.pendingText += c.S(0);
}
void Answer::DrawText(NativeCall c) {
    ++c.world.drawCount;
    if (c.world.keepDraws) c.world.draws.push_back({c.game.Frame(), c.world.pendingText, c.F(0), c.F(1)});
}
