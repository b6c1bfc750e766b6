#include "config/ConfigKeys.h"

namespace {

constexpr ConfigKey Rows[] = {
    {ConfigKeyId::EnableKey, "EnableKey", KeyLevel::TopLevel, "a key name", nullptr},
    {ConfigKeyId::MaxRioters, "MaxRioters", KeyLevel::TopLevel, "a whole number", nullptr},
    {ConfigKeyId::WeaponsUsedByAllFactions, "WeaponsUsedByAllFactions", KeyLevel::TopLevel, nullptr,
     "changed nothing"},
    {ConfigKeyId::PedWeapons, "PedWeapons", KeyLevel::TopLevel, nullptr, "changed nothing"},
    {ConfigKeyId::DisableCops, "DisableCops", KeyLevel::TopLevel, "true or false", nullptr},
    {ConfigKeyId::PedAccuracy, "PedAccuracy", KeyLevel::TopLevel, "a number", nullptr},
    {ConfigKeyId::RiotersOnlyAttackPlayer, "RiotersOnlyAttackPlayer", KeyLevel::TopLevel, "true or false",
     nullptr},
    {ConfigKeyId::Factions, "Factions", KeyLevel::TopLevel, nullptr, "the default faction is built instead"},
    {ConfigKeyId::MaxMembers, "MaxMembers", KeyLevel::Faction, "a whole number", nullptr},
    {ConfigKeyId::WillAttackSelf, "WillAttackSelf", KeyLevel::Faction, "true or false", nullptr},
    {ConfigKeyId::Weapons, "Weapons", KeyLevel::Faction, nullptr, "the faction draws from the shared list"},
    {ConfigKeyId::MemberModels, "MemberModels", KeyLevel::Faction, nullptr,
     "the faction's rioters are random pedestrians"},
};

constexpr bool RowsInOrder() {
    for (int k = 0; k < static_cast<int>(ConfigKeyId::Count); ++k)
        if (static_cast<int>(Rows[k].id) != k) return false;
    return sizeof Rows / sizeof Rows[0] == static_cast<std::size_t>(ConfigKeyId::Count);
}
static_assert(RowsInOrder(), "one row for each key, in the order of ConfigKeyId");

}  // namespace

const ConfigKey& KeyOf(ConfigKeyId id) {
    return Rows[static_cast<int>(id)];
}

const ConfigKey* FindConfigKey(const std::string& name) {
    for (const ConfigKey& key : Rows)
        if (name == key.name) return &key;
    return nullptr;
}

const ConfigKey* ConfigKeysBegin() {
    return Rows;
}
const ConfigKey* ConfigKeysEnd() {
    return Rows + static_cast<int>(ConfigKeyId::Count);
}
