#include "config/LoadConfig.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <json/json.h>

#include "config/KeyNames.h"
#include "config/WeaponLists.h"

namespace {

// One load under way: what it decided so far, and the path of the value read last, which is where an
// exception ends the load.
struct Load {
    LoadOutcome& out;
    std::string at;

    const Json::Value& Read(const Json::Value& value, std::string path) {
        at = std::move(path);
        return value;
    }
    // A member lookup throws for an object that is neither an object nor null: that object is where it ends.
    const Json::Value& Member(const Json::Value& object, const std::string& objectPath, ConfigKeyId key) {
        const char* name = KeyOf(key).name;
        Read(object, objectPath);
        return Read(object[name], objectPath.empty() ? name : objectPath + "." + name);
    }
    // The load read the key of object (the document or a faction entry).
    void Step(const Json::Value& object, const std::string& objectPath, ConfigKeyId key, bool applied) {
        const bool present = object.isObject() && object.isMember(KeyOf(key).name);
        out.Steps.push_back({key, objectPath, present, applied});
    }
};

void Parse(const std::string& bytes, LoadOutcome& out) {
    // The classic reader: comments allowed, any top-level value, the tree read so far kept on a parse error.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    Json::Reader reader;
#pragma GCC diagnostic pop
    out.text = bytes.substr(ConfigTextStart(bytes));
    reader.parse(out.text.data(), out.text.data() + out.text.size(), out.document, false);
    const auto errors = reader.getStructuredErrors();
    if (!errors.empty()) {
        out.errorOffset = errors.front().offset_start;
        out.error = errors.front().message;
    }
}

void ReadNames(const Json::Value& array, const std::string& path, std::vector<std::string>& names,
               Load& load) {
    for (Json::ArrayIndex k = 0; k < array.size(); ++k)
        names.push_back(load.Read(array[k], path + "[" + std::to_string(k) + "]").asString());
}

// The shared list: "WeaponsUsedByAllFactions", or "PedWeapons" when that one is not an array.
void ApplySharedWeapons(const Json::Value& root, Load& load) {
    const Json::Value& all = load.Member(root, "", ConfigKeyId::WeaponsUsedByAllFactions);
    const Json::Value& ped = load.Member(root, "", ConfigKeyId::PedWeapons);
    const Json::Value* weapons = all.isArray() ? &all : ped.isArray() ? &ped : nullptr;
    load.Step(root, "", ConfigKeyId::WeaponsUsedByAllFactions, weapons == &all);
    load.Step(root, "", ConfigKeyId::PedWeapons, weapons == &ped);
    if (!weapons) return;
    load.out.SharedWeaponList.clear();
    const ConfigKeyId read =
        weapons == &all ? ConfigKeyId::WeaponsUsedByAllFactions : ConfigKeyId::PedWeapons;
    ReadNames(*weapons, KeyOf(read).name, load.out.SharedWeaponList, load);
}

// One top-level setting, as its row says it is read; true when it took effect.
bool ApplySetting(const ConfigKey& key, const Json::Value& value, SettingsRecord& s) {
    switch (key.kind) {
        case KeyKind::KeyName: {
            int32_t code = 0;
            const bool named = LookupKeyName(value.asString(), &code);
            if (named) s.*key.whole = code;
            return named;
        }
        case KeyKind::WholeNumber:
            if (value.isInt()) s.*key.whole = value.asInt();
            return value.isInt();
        case KeyKind::TrueFalse:
            if (value.isBool()) s.*key.flag = value.asBool();
            return value.isBool();
        case KeyKind::Number:
            if (value.isNumeric()) s.*key.number = value.asDouble();
            return value.isNumeric();
        case KeyKind::SwitchOn: {
            const bool on = value.asBool();  // a text, array or object throws: the load ends here
            if (on) s.*key.flag = true;
            return on;
        }
        default:
            return false;
    }
}

// The top-level keys before "Factions", each in its row's order.
void ApplySettings(const Json::Value& root, Load& load) {
    for (const ConfigKey* key = ConfigKeysBegin(); key->id != ConfigKeyId::Factions; ++key) {
        if (key->id == ConfigKeyId::PedWeapons) continue;  // read with the list it stands in for
        if (key->id == ConfigKeyId::WeaponsUsedByAllFactions) {
            ApplySharedWeapons(root, load);
            continue;
        }
        const Json::Value& value = load.Member(root, "", key->id);
        load.Step(root, "", key->id, ApplySetting(*key, value, load.out.Settings));
    }
}

void BuildFaction(const Json::Value& entry, Json::ArrayIndex position, Load& load) {
    const std::string path = "Factions[" + std::to_string(position) + "]";
    LoadOutcome& out = load.out;
    out.Factions.emplace_back();
    const std::size_t k = out.Factions.size() - 1;
    out.Factions[k].EntryOffset = entry.getOffsetStart();
    // A lookup with 20 for an absent member, as Json::Value::get does it.
    const std::string capKey = KeyOf(ConfigKeyId::MaxMembers).name;
    const Json::Value* cap = load.Read(entry, path).find(capKey.data(), capKey.data() + capKey.size());
    out.Factions[k].MaxMembers =
        static_cast<uint32_t>(cap ? load.Read(*cap, path + "." + capKey).asInt() : 20);
    load.Step(entry, path, ConfigKeyId::MaxMembers, cap != nullptr);

    const Json::Value& self = load.Member(entry, path, ConfigKeyId::WillAttackSelf);
    out.Factions[k].WillAttackSelf = self.asBool();
    load.Step(entry, path, ConfigKeyId::WillAttackSelf, !self.isNull());
    if (!out.Factions[k].WillAttackSelf) {
        out.Factions[k].GroupName = std::to_string(position);
        out.Actions.push_back({LoadActionKind::CreateGroup, k});
    }

    const Json::Value& weapons = load.Member(entry, path, ConfigKeyId::Weapons);
    load.Step(entry, path, ConfigKeyId::Weapons, weapons.isArray());
    if (weapons.isArray()) ReadNames(weapons, path + ".Weapons", out.Factions[k].Weapons, load);
    // The faction joins the list here: an end among its models keeps it, with the models read before.
    out.Actions.push_back({LoadActionKind::AddFaction, k});

    const Json::Value& models = load.Member(entry, path, ConfigKeyId::MemberModels);
    load.Step(entry, path, ConfigKeyId::MemberModels, models.isArray());
    if (models.isArray()) ReadNames(models, path + ".MemberModels", out.Factions[k].MemberModels, load);
}

void BuildDefaultFaction(LoadOutcome& out) {
    FactionPlan faction;
    faction.MaxMembers = static_cast<uint32_t>(out.Settings.MaxRioters);
    faction.IsDefault = true;
    faction.UsesRioterGroup = out.Settings.RiotersOnlyAttackPlayer;
    faction.WillAttackSelf = !out.Settings.RiotersOnlyAttackPlayer;
    out.Factions.push_back(std::move(faction));
    out.Actions.push_back({LoadActionKind::AddFaction, 0});
}

void RebuildFactions(const Json::Value& root, Load& load) {
    const Json::Value& factions = load.Member(root, "", ConfigKeyId::Factions);
    const bool listed = factions.isArray() && factions.size() > 0;
    load.Step(root, "", ConfigKeyId::Factions, listed);
    load.out.SharedBeforeThrowables = load.out.SharedWeaponList;
    load.out.FactionsRebuilt = true;
    load.out.Actions.push_back({LoadActionKind::LetGoFactions});
    if (!listed) return BuildDefaultFaction(load.out);
    for (Json::ArrayIndex k = 0; k < factions.size(); ++k)
        BuildFaction(load.Read(factions[k], "Factions[" + std::to_string(k) + "]"), k, load);
}

}  // namespace

LoadOutcome DecideLoad(const std::string& bytes, const LoadBasis& inForce) {
    LoadOutcome out;
    out.Settings = inForce.Settings;
    out.SharedWeaponList = inForce.SharedWeaponList;
    Load load{out, ""};
    // JsonCpp throws for a value of the wrong kind; the load then ends where it stands and keeps what it
    // decided.
    try {
        load.at = "";
        try {
            Parse(bytes, out);
        } catch (...) {
            out.End.inReader = true;
            throw;
        }
        const Json::Value& document = out.document;
        ApplySettings(document, load);
        RebuildFactions(document, load);
        RemoveThrowables(out.SharedWeaponList);
    } catch (const std::exception& error) {
        out.End.ended = true;
        out.End.path = load.at;
        out.End.what = error.what();
    } catch (...) {
        out.End.ended = true;
        out.End.path = load.at;
    }
    return out;
}

int ReadConfigFile(const std::string& path, std::string& bytes) {
    errno = 0;
    // The name is UTF-8, so that a path with other than ASCII characters opens on Windows too.
    std::ifstream file(std::filesystem::u8path(path), std::ios::binary);
    const int error = file ? 0 : errno ? errno : ENOENT;
    std::ostringstream text;
    if (file) text << file.rdbuf();
    bytes = text.str();
    return error;
}

std::size_t ConfigTextStart(const std::string& bytes) {
    // Notepad and other Windows editors start the file with a byte-order mark, which the parser rejects.
    return bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
}
