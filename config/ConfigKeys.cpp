#include "config/ConfigKeys.h"

#include <fmt/format.h>

#include "config/KeyNames.h"

namespace {

std::string NoMeaning(const SettingsRecord&) {
    return "";
}
std::string RiotersMeaning(const SettingsRecord& s) {
    return s.MaxRioters > 0 ? "" : "nobody is recruited";
}
std::string AccuracyMeaning(const SettingsRecord& s) {
    return fmt::format("rioters get accuracy {}", AccuracyInteger(s.PedAccuracy));
}
std::string PlayerOnlyMeaning(const SettingsRecord& s) {
    return s.RiotersOnlyAttackPlayer ? "every rioter fights only the player" : "";
}

using S = SettingsRecord;

constexpr ConfigKey Rows[] = {
    {ConfigKeyId::EnableKey, "EnableKey", KeyLevel::TopLevel, KeyKind::KeyName, "a key name", nullptr,
     "\"F1\" to \"F8\"", "\"F7\"",
     "other texts, numbers, true/false, null: ignored; an array or object stops the load",
     "The key that turns the riot on and off: \"F1\" to \"F8\", exactly so (capital F).", nullptr,
     &S::EnableKey, nullptr, nullptr, 118, NoMeaning},
    {ConfigKeyId::MaxRioters, "MaxRioters", KeyLevel::TopLevel, KeyKind::WholeNumber, "a whole number",
     nullptr, "a whole number in the 32-bit range, 0 and negative included (then nobody is recruited)", "20",
     "ignored", "Most rioters at once, over all factions. A whole number. 0 or less: nobody is recruited.",
     nullptr, &S::MaxRioters, nullptr, nullptr, 20, RiotersMeaning},
    {ConfigKeyId::WeaponsUsedByAllFactions, "WeaponsUsedByAllFactions", KeyLevel::TopLevel,
     KeyKind::WeaponNames, nullptr, "changed nothing",
     "an array of names (numbers and true/false become text)", "24 guns",
     "not an array: `PedWeapons` is tried; an array or object inside stops the load",
     "Weapons of every faction below that has no \"Weapons\" of its own; each rioter gets one at random. "
     "Thrown "
     "weapons (grenades, sticky bombs, molotovs...) are taken out of this list; give them to a faction. "
     "(Older "
     "files call this list \"PedWeapons\"; that name is read only when this one is missing.)",
     nullptr, nullptr, nullptr, nullptr, 0, NoMeaning},
    {ConfigKeyId::PedWeapons, "PedWeapons", KeyLevel::TopLevel, KeyKind::WeaponNames, nullptr,
     "changed nothing", "as above, read only when the key above is not an array", "", "",
     "The older name of \"WeaponsUsedByAllFactions\", read only when that one is not an array.", nullptr,
     nullptr, nullptr, nullptr, 0, NoMeaning},
    {ConfigKeyId::DisableCops, "DisableCops", KeyLevel::TopLevel, KeyKind::TrueFalse, "true or false",
     nullptr, "true or false", "true", "ignored (0 and 1 are not true/false)",
     "true: while the riot is on, your wanted level stays at zero. false: the police come as usual.", nullptr,
     nullptr, &S::DisableCops, nullptr, 1, NoMeaning},
    {ConfigKeyId::PedAccuracy, "PedAccuracy", KeyLevel::TopLevel, KeyKind::Number, "a number", nullptr,
     "any number", "1", "ignored",
     "How well new rioters shoot, usually 0 to 100. The game's own pedestrians are around 40 to 60.", nullptr,
     nullptr, nullptr, &S::PedAccuracy, 1, AccuracyMeaning},
    {ConfigKeyId::RiotersOnlyAttackPlayer, "RiotersOnlyAttackPlayer", KeyLevel::TopLevel, KeyKind::SwitchOn,
     "true or false", nullptr, "true or a non-zero number switches it on", "false",
     "false, 0, null: ignored; a text, array or object stops the load",
     "true: every rioter fights only you. Once true, only restarting the game turns it off again.",
     "Once on, it stays on until the game restarts: a later load with false changes nothing.", nullptr,
     &S::RiotersOnlyAttackPlayer, nullptr, 0, PlayerOnlyMeaning},
    {ConfigKeyId::Factions, "Factions", KeyLevel::TopLevel, KeyKind::FactionList, nullptr,
     "the default faction is built instead", "an array of faction objects",
     "one faction of `MaxRioters` rioters, all against all",
     "anything else (absent, empty, an object): the default faction",
     "The factions. Rioters of one faction fight the rioters of the others and you, never each other. Leave "
     "\"Factions\" out and every rioter fights every other one.",
     nullptr, nullptr, nullptr, nullptr, 0, NoMeaning},
    {ConfigKeyId::MaxMembers, "MaxMembers", KeyLevel::Faction, KeyKind::WholeNumber, "a whole number",
     nullptr, "a number in the 32-bit range (7.9 gives 7), true (1), false or null (0)",
     "20 (not `MaxRioters`)", "a text, array or object stops the load",
     "Most members of this faction at once (also limited by \"MaxRioters\"). -1: no limit of its own.",
     nullptr, nullptr, nullptr, nullptr, 20, NoMeaning},
    {ConfigKeyId::WillAttackSelf, "WillAttackSelf", KeyLevel::Faction, KeyKind::SwitchOn, "true or false",
     nullptr, "true or a non-zero number", "false", "a text, array or object stops the load",
     "false: members of this faction never fight each other. true: they do, a free-for-all.", nullptr,
     nullptr, nullptr, nullptr, 0, NoMeaning},
    {ConfigKeyId::Weapons, "Weapons", KeyLevel::Faction, KeyKind::WeaponNames, nullptr,
     "the faction draws from the shared list", "an array of names", "none",
     "not an array: ignored; an array or object inside stops the load",
     "This faction's own weapons, instead of the shared list. Thrown weapons are allowed here.", nullptr,
     nullptr, nullptr, nullptr, 0, NoMeaning},
    {ConfigKeyId::MemberModels, "MemberModels", KeyLevel::Faction, KeyKind::ModelNames, nullptr,
     "the faction's rioters are random pedestrians", "an array of names", "none",
     "not an array: ignored; an array or object inside stops the load",
     "Ped models of its members, one picked at random. None: random pedestrians.", nullptr, nullptr, nullptr,
     nullptr, 0, NoMeaning},
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

std::string SettingText(const ConfigKey& key, const SettingsRecord& s) {
    if (key.kind == KeyKind::KeyName) {
        const int32_t code = s.*key.whole;
        const std::string name = KeyNameOf(code);
        return name.rfind("F", 0) == 0 ? fmt::format("{} (key code {})", name, code)
                                       : fmt::format("key code {}", code);
    }
    if (key.whole) return std::to_string(s.*key.whole);
    if (key.flag) return s.*key.flag ? "true" : "false";
    if (key.number) return fmt::format("{}", s.*key.number);
    return "";
}

std::string KeyTableMarkdown() {
    std::string table = "| Key | Accepted | Default | A value of another kind |\n|---|---|---|---|\n";
    for (const ConfigKey& key : Rows)
        table +=
            fmt::format("| `{}` | {} | {} | {} |\n", key.name, key.accepted, key.builtInText, key.otherwise);
    return table;
}

SettingsRecord BuiltInSettings() {
    SettingsRecord s;
    s.ConfigFileName = ConfigFileNameBuiltIn;
    for (const ConfigKey& key : Rows) {
        if (key.level != KeyLevel::TopLevel) continue;
        if (key.whole) s.*key.whole = static_cast<int32_t>(key.builtIn);
        if (key.flag) s.*key.flag = key.builtIn != 0;
        if (key.number) s.*key.number = key.builtIn;
    }
    return s;
}
