#include "app/editor/EditorData.h"

#include <cstddef>
#include <string>
#include <vector>

#include "config/ConfigKeys.h"
#include "config/KeyNames.h"
#include "config/LoadConfig.h"
#include "config/WeaponLists.h"

extern const char* const GameWeaponNames[];
extern const std::size_t GameWeaponCount;
extern const char* const GameModelNames[];
extern const std::size_t GameModelCount;

namespace {

// The form field of a key, from how the load reads it: "key" (F1 to F8), "whole", "number", "bool",
// "weapons", "models" or "factions".
const char* FieldOf(const ConfigKey& key) {
    switch (key.kind) {
        case KeyKind::KeyName:
            return "key";
        case KeyKind::WholeNumber:
            return "whole";
        case KeyKind::Number:
            return "number";
        case KeyKind::TrueFalse:
        case KeyKind::SwitchOn:
            return "bool";
        case KeyKind::WeaponNames:
            return "weapons";
        case KeyKind::ModelNames:
            return "models";
        case KeyKind::FactionList:
            return "factions";
    }
    return "";
}

Json::Value List(const std::vector<std::string>& names) {
    Json::Value list(Json::arrayValue);
    for (const std::string& name : names)
        list.append(name);
    return list;
}

// The value a key has when no file sets it, as the load itself decides it: from an empty document, and for a
// faction's keys from an empty entry. Null for a key without one (the lists of names a faction may lack).
Json::Value BuiltInOf(ConfigKeyId id) {
    static const LoadOutcome none = DecideLoad("{}", LoadBasis{});
    static const LoadOutcome entry = DecideLoad(R"({"Factions": [{}]})", LoadBasis{});
    const SettingsRecord& s = none.Settings;
    switch (id) {
        case ConfigKeyId::EnableKey:
            return KeyNameOf(s.EnableKey);
        case ConfigKeyId::MaxRioters:
            return s.MaxRioters;
        case ConfigKeyId::WeaponsUsedByAllFactions:
            return List(none.SharedWeaponList);
        case ConfigKeyId::DisableCops:
            return s.DisableCops;
        case ConfigKeyId::PedAccuracy:
            return s.PedAccuracy;
        case ConfigKeyId::RiotersOnlyAttackPlayer:
            return s.RiotersOnlyAttackPlayer;
        case ConfigKeyId::MaxMembers:
            return static_cast<Json::Int>(entry.Factions.at(0).MaxMembers);
        case ConfigKeyId::WillAttackSelf:
            return entry.Factions.at(0).WillAttackSelf;
        default:
            return Json::Value();
    }
}

Json::Value Names(const char* const* names, std::size_t count) {
    Json::Value list(Json::arrayValue);
    for (std::size_t k = 0; k < count; ++k)
        list.append(names[k]);
    return list;
}

}  // namespace

Json::Value EditorData() {
    Json::Value data;
    Json::Value& keys = data["keys"] = Json::arrayValue;
    for (const ConfigKey* key = ConfigKeysBegin(); key != ConfigKeysEnd(); ++key) {
        Json::Value row;
        row["name"] = key->name;
        row["level"] = key->level == KeyLevel::TopLevel ? "top" : "faction";
        row["field"] = FieldOf(*key);
        if (key->is) row["is"] = key->is;
        if (key->instead) row["instead"] = key->instead;
        if (key->warning) row["warning"] = key->warning;
        row["doc"] = key->doc;
        if (!BuiltInOf(key->id).isNull()) row["builtIn"] = BuiltInOf(key->id);
        keys.append(row);
    }
    for (const auto& entry : KeyNameTable)
        data["keyNames"].append(entry.first);
    data["weapons"] = Names(GameWeaponNames, GameWeaponCount);
    data["models"] = Names(GameModelNames, GameModelCount);
    for (const std::string& name : ThrowableList)
        data["thrown"].append(name);
    return data;
}
