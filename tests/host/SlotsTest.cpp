#include <cstddef>
#include <cstring>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "config/Jenkins.h"
#include "host/NativeCatalogue.h"
#include "host/Natives.h"
#include "host/Slots.h"
#include "sim/Format.h"
#include "tests/support/ScriptRun.h"

TEST(SlotEncoding, IntegersFloatsAndPointers) {
    EXPECT_EQ(Slot(int32_t{-1}), 0x00000000FFFFFFFFull);
    EXPECT_EQ(Slot(int32_t{-2147483647 - 1}), 0x0000000080000000ull);
    EXPECT_EQ(Slot(uint32_t{0xFFFFFFFF}), 0x00000000FFFFFFFFull);
    EXPECT_EQ(Slot(0.55f), 0x000000003F0CCCCDull);
    EXPECT_EQ(Slot(-0.0f), 0x0000000080000000ull);
    int value = 0;
    EXPECT_EQ(Slot(static_cast<const void*>(&value)), reinterpret_cast<uintptr_t>(&value));
}

TEST(SlotEncoding, Vector3HasOneSlotPerAxis) {
    EXPECT_EQ(sizeof(Vector3), 24u);
    EXPECT_EQ(offsetof(Vector3, x), 0u);
    EXPECT_EQ(offsetof(Vector3, y), 8u);
    EXPECT_EQ(offsetof(Vector3, z), 16u);
}

// Each native is called through the layer into the simulated game, which decodes the raw slots with its own
// catalogue: a wrong hash, a sign-extended integer or a missing argument is a fault there.
TEST(CallLayer, EveryNativeReachesTheGameIntact) {
    ScriptRun run;
    World& world = run.world();
    world.playerPosition = {1.5f, -2.25f, 30.0f};
    world.playerForward = {0.6f, 0.8f, 0.0f};
    world.playerInVehicle = true;
    world.playerIndex = -7;

    EXPECT_EQ(PlayerPedId(), world.playerPed);
    EXPECT_EQ(PlayerId(), -7);
    Vector3 position = GetEntityCoords(world.playerPed, 1);
    EXPECT_EQ(position.x, 1.5f);
    EXPECT_EQ(position.y, -2.25f);
    EXPECT_EQ(position.z, 30.0f);
    Vector3 forward = GetEntityForwardVector(world.playerPed);
    EXPECT_EQ(forward.x, 0.6f);
    EXPECT_EQ(forward.y, 0.8f);
    EXPECT_TRUE(IsPedInAnyVehicle(world.playerPed, 1));
    EXPECT_TRUE(DoesEntityExist(world.playerPed));
    EXPECT_TRUE(PedStateCheck(world.playerPed));
    EXPECT_TRUE(PlayerStateCheck(0));
    EXPECT_EQ(GetHashKey("WEAPON_PISTOL"), 0x1B06D571u);
    RequestModel(GetHashKey("a_m_y_skater_01"));
    EXPECT_TRUE(HasModelLoaded(GetHashKey("a_m_y_skater_01")));
    Ped ped = CreatePed(26, GetHashKey("a_m_y_skater_01"), 1.0f, 2.0f, 3.0f, 0.0f, 0, 1);
    ASSERT_NE(ped, 0);
    Ped random = CreateRandomPed(-4.0f, 5.0f, 6.0f);
    ASSERT_NE(random, 0);
    Vector3 safe = MakeVector3(9.0f, 9.0f, 9.0f);
    EXPECT_TRUE(GetSafeCoordForPed(7.0f, 8.0f, 50.0f, 0, &safe, 0));
    EXPECT_EQ(safe.x, 7.0f);
    EXPECT_EQ(safe.y, 8.0f);
    EXPECT_EQ(safe.z, world.groundZ);
    SetPedAccuracy(ped, -2);
    EXPECT_EQ(world.FindPed(ped)->accuracy, -2);
    Hash group = 0;
    AddRelationshipGroup("RIOTER", &group);
    EXPECT_EQ(group, JenkinsHash("RIOTER"));
    SetPedRelationshipGroupHash(ped, group);
    EXPECT_EQ(world.FindPed(ped)->group, group);
    RemoveRelationshipGroup(group);
    EXPECT_EQ(world.groups.count(group), 0u);
    const Hash pistol = JenkinsHash("WEAPON_PISTOL");  // a weapon the game has: another arms nobody
    GiveDelayedWeaponToPed(ped, pistol, 1000, 0);
    ASSERT_EQ(world.FindPed(ped)->weapons.size(), 1u);
    EXPECT_EQ(world.FindPed(ped)->weapons[0], pistol);
    ClearPedTasks(ped);
    TaskCombatPed(ped, random, 0, 1);
    EXPECT_EQ(world.FindPed(ped)->combatTarget, random);
    Ped handle = ped;
    SetPedAsNoLongerNeeded(&handle);
    DeleteEntity(&handle);
    EXPECT_FALSE(DoesEntityExist(ped));
    SetPlayerWantedLevel(PlayerId(), 0, 0);
    SetPlayerWantedLevelNow(PlayerId(), 0);
    SetWantedLevelMultiplier(0.0f);
    EXPECT_EQ(world.wantedMultiplier, 0.0f);
    SetTextFont(0);
    SetTextScale(0.55f, 0.55f);
    SetTextColour(255, 255, 255, 255);
    SetTextWrap(0.0f, 1.0f);
    SetTextCentre(1);
    SetTextDropshadow(0, 0, 0, 0, 0);
    SetTextEdge(1, 0, 0, 0, 205);
    BeginTextEntry("STRING");
    AddTextComponentString("hello");
    DrawText(0.5f, 0.5f);
    ASSERT_EQ(world.draws.size(), 1u);
    EXPECT_EQ(world.draws[0].text, "hello");

    EXPECT_TRUE(run.game().errors.empty());
    for (const NativeInfo& native : NativeCatalogue)
        EXPECT_GT(run.game().CallsOf(native.name), 0) << native.name << " is not called above";
    EXPECT_EQ(run.Count("SetPedAccuracy("), 1);
    EXPECT_EQ(run.Events("SetPedAccuracy(")[0], "SetPedAccuracy(100, -2)");
    EXPECT_EQ(run.Events("SetTextScale(")[0], "SetTextScale(0.55, 0.55)");
    std::string groupText;
    AppendHex32(groupText, JenkinsHash("RIOTER"));
    EXPECT_EQ(run.Events("AddRelationshipGroup(")[0],
              "AddRelationshipGroup(\"RIOTER\", &0x00000000); out " + groupText);
}

// The game's own catalogue: the layer and the simulated game both read the one declaration, so only this
// table would tell a mistyped hash or argument type. Kinds: i int, u hash, f float, s text, v Vector3 record,
// h handle pointer, g hash pointer; results: n none, b bool, and the same letters.
TEST(CallLayer, TheDeclarationIsTheGamesCatalogue) {
    struct Row {
        const char* name;
        uint64_t hash;
        const char* args;
        char result;
    };
    const Row game[] = {
        {"PlayerPedId", 0xD80958FC74E988A6, "", 'i'},
        {"PlayerId", 0x4F8644AF03D0E0D6, "", 'i'},
        {"GetEntityCoords", 0x3FEF770D40960D5A, "ii", 'v'},
        {"GetEntityForwardVector", 0x0A794A5A57F8DF91, "i", 'v'},
        {"IsPedInAnyVehicle", 0x997ABD671D25CA0B, "ii", 'b'},
        {"DoesEntityExist", 0x7239B21A38F536BA, "i", 'b'},
        {"PedStateCheck", 0xEEF059FAD016D209, "i", 'b'},
        {"PlayerStateCheck", 0x3E8349C08E4B82E4, "i", 'b'},
        {"GetHashKey", 0xD24D37CC275948CC, "s", 'u'},
        {"RequestModel", 0x963D27A58DF860AC, "u", 'n'},
        {"HasModelLoaded", 0x98A4EB5D89A0C952, "u", 'b'},
        {"CreatePed", 0xD49F9B0955C367DE, "iuffffii", 'i'},
        {"CreateRandomPed", 0xB4AC7D0CF06BFE8F, "fff", 'i'},
        {"GetSafeCoordForPed", 0xB61C8E878A4199CA, "fffivi", 'b'},
        {"SetPedAccuracy", 0x7AEFB85C1D49DEB6, "ii", 'n'},
        {"SetPedRelationshipGroupHash", 0xC80A74AC829DDD92, "iu", 'n'},
        {"AddRelationshipGroup", 0xF372BC22FCB88606, "sg", 'n'},
        {"RemoveRelationshipGroup", 0xB6BA2444AB393DA2, "u", 'n'},
        {"GiveDelayedWeaponToPed", 0xB282DC6EBD803C75, "iuii", 'n'},
        {"ClearPedTasks", 0xAAA34F8A7CB32098, "i", 'n'},
        {"TaskCombatPed", 0xF166E48407BAC484, "iiii", 'n'},
        {"SetPedAsNoLongerNeeded", 0x2595DD4236549CE3, "h", 'n'},
        {"DeleteEntity", 0xAE3CBE5BF394C9C9, "h", 'n'},
        {"SetPlayerWantedLevel", 0x39FF19C64EF7DA5B, "iii", 'n'},
        {"SetPlayerWantedLevelNow", 0xE0A7D1E497FFCD6F, "ii", 'n'},
        {"SetWantedLevelMultiplier", 0x020E5F00CDA207BA, "f", 'n'},
        {"SetTextFont", 0x66E0276CC5F6B9DA, "i", 'n'},
        {"SetTextScale", 0x07C837F9A01C34C9, "ff", 'n'},
        {"SetTextColour", 0xBE6B23FFA53FB442, "iiii", 'n'},
        {"SetTextWrap", 0x63145D9C883A1A70, "ff", 'n'},
        {"SetTextCentre", 0xC02F4DBFB51D988B, "i", 'n'},
        {"SetTextDropshadow", 0x465C84BC39F1C351, "iiiii", 'n'},
        {"SetTextEdge", 0x441603240D202FA6, "iiiii", 'n'},
        {"BeginTextEntry", 0x25FBB336DF1804CB, "s", 'n'},
        {"AddTextComponentString", 0x6C188BE134E074AA, "s", 'n'},
        {"DrawText", 0xCD015E5BB0D96A57, "ff", 'n'},
    };
    ASSERT_EQ(std::size(game), static_cast<std::size_t>(NativeCount));
    for (std::size_t n = 0; n < std::size(game); ++n) {
        const NativeInfo& native = NativeCatalogue[n];
        std::string args;
        for (int k = 0; k < native.argCount; ++k)
            args += "iufsvhg"[static_cast<int>(native.args[k])];
        EXPECT_STREQ(native.name, game[n].name);
        EXPECT_EQ(native.hash, game[n].hash) << game[n].name;
        EXPECT_EQ(args, game[n].args) << game[n].name;
        EXPECT_EQ("nibuv"[static_cast<int>(native.result)], game[n].result) << game[n].name;
    }
}

TEST(CallLayer, TheGameRejectsMalformedCalls) {
    struct Case {
        const char* what;
        uint64_t hash;
        std::vector<uint64_t> slots;
        const char* fault;
    };
    const Case cases[] = {
        {"unknown hash", 0x1234, {}, "unknown native hash 0x0000000000001234"},
        {"sign-extended int",
         0x7AEFB85C1D49DEB6,
         {100, 0xFFFFFFFFFFFFFFFEull},
         "argument 2 has its high 32 bits set"},
        {"float with high bits",
         0x020E5F00CDA207BA,
         {0x100000000ull | Slot(1.0f)},
         "argument 1 has its high"},
        {"missing argument", 0xAAA34F8A7CB32098, {}, "0 arguments pushed, 1 expected"},
        {"null pointer", 0xAE3CBE5BF394C9C9, {0}, "argument 1 is a null pointer"},
    };
    for (const Case& c : cases) {
        ScriptRun run;
        nativeInit(c.hash);
        for (uint64_t slot : c.slots)
            nativePush64(slot);
        nativeCall();
        ASSERT_EQ(run.game().errors.size(), 1u) << c.what;
        EXPECT_NE(run.game().errors[0].find(c.fault), std::string::npos)
            << c.what << ": " << run.game().errors[0];
        run.game().errors.clear();
    }
}
