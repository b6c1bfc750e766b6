#include "config/LoadConfig.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <json/json.h>

#include "config/KeyNames.h"
#include "config/LoadObserver.h"
#include "config/Settings.h"
#include "config/WeaponLists.h"
#include "host/Natives.h"
#include "riot/Roster.h"

namespace {

// One load: who listens, and the value read last, which is where an exception ends the load.
struct Load {
    LoadObserver* observer;
    const Json::Value* at = nullptr;
    bool heardAll = true;  // the observer heard every step

    const Json::Value& Read(const Json::Value& value) {
        at = &value;
        return value;
    }
    // A member lookup throws for an object that is neither an object nor null: that object is where it ends.
    const Json::Value& Member(const Json::Value& object, ConfigKeyId key) {
        return Read(Read(object)[KeyOf(key).name]);
    }
    // Tells the observer, if any; what it throws stays here, and it hears nothing more.
    template <typename Call>
    void Tell(Call call) {
        if (!observer) return;
        try {
            call(*observer);
        } catch (...) {
            observer = nullptr;
            heardAll = false;
        }
    }
    void KeyRead(const Json::Value& object, ConfigKeyId key, const Json::Value& value, bool applied) {
        Tell([&](LoadObserver& o) { o.KeyRead(object, KeyOf(key), value, applied); });
    }
};

void ParseConfig(const std::string& bytes, Json::Value& root, Load& load) {
    // The classic reader: comments allowed, any top-level value, the tree read so far kept on a parse error.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    Json::Reader reader;
#pragma GCC diagnostic pop
    const char* text = bytes.data() + ConfigTextStart(bytes);
    reader.parse(text, bytes.data() + bytes.size(), root, false);
    if (!load.observer) return;
    const auto errors = reader.getStructuredErrors();
    load.Tell([&](LoadObserver& o) {
        if (errors.empty()) {
            o.Parsed(root, -1, "");
        } else {
            o.Parsed(root, errors.front().offset_start, errors.front().message);
        }
    });
}

void ReadNames(const Json::Value& array, std::vector<std::string>& names, Load& load) {
    for (Json::ArrayIndex k = 0; k < array.size(); ++k)
        names.push_back(load.Read(array[k]).asString());
}

void ApplySettings(const Json::Value& root, Load& load) {
    const Json::Value& key = load.Member(root, ConfigKeyId::EnableKey);
    int32_t code = 0;
    const bool named = LookupKeyName(key.asString(), &code);
    if (named) Settings.EnableKey = code;
    load.KeyRead(root, ConfigKeyId::EnableKey, key, named);

    const Json::Value& cap = load.Member(root, ConfigKeyId::MaxRioters);
    if (cap.isInt()) Settings.MaxRioters = cap.asInt();
    load.KeyRead(root, ConfigKeyId::MaxRioters, cap, cap.isInt());

    const Json::Value& all = load.Member(root, ConfigKeyId::WeaponsUsedByAllFactions);
    const Json::Value& ped = load.Member(root, ConfigKeyId::PedWeapons);
    const Json::Value* weapons = all.isArray() ? &all : ped.isArray() ? &ped : nullptr;
    load.KeyRead(root, ConfigKeyId::WeaponsUsedByAllFactions, all, weapons == &all);
    load.KeyRead(root, ConfigKeyId::PedWeapons, ped, weapons == &ped);
    if (weapons) {
        SharedWeaponList.clear();
        ReadNames(*weapons, SharedWeaponList, load);
    }

    const Json::Value& cops = load.Member(root, ConfigKeyId::DisableCops);
    if (cops.isBool()) Settings.DisableCops = cops.asBool();
    load.KeyRead(root, ConfigKeyId::DisableCops, cops, cops.isBool());

    const Json::Value& accuracy = load.Member(root, ConfigKeyId::PedAccuracy);
    if (accuracy.isNumeric()) Settings.PedAccuracy = accuracy.asDouble();
    load.KeyRead(root, ConfigKeyId::PedAccuracy, accuracy, accuracy.isNumeric());

    const Json::Value& playerOnly = load.Member(root, ConfigKeyId::RiotersOnlyAttackPlayer);
    const bool on = playerOnly.asBool();
    if (on) Settings.RiotersOnlyAttackPlayer = true;
    load.KeyRead(root, ConfigKeyId::RiotersOnlyAttackPlayer, playerOnly, on);
}

void BuildFaction(const Json::Value& entry, Json::ArrayIndex position, Load& load) {
    Faction faction;
    // A lookup with 20 for an absent member, as Json::Value::get does it.
    const std::string capKey = KeyOf(ConfigKeyId::MaxMembers).name;
    const Json::Value* cap = load.Read(entry).find(capKey.data(), capKey.data() + capKey.size());
    faction.MaxMembers = static_cast<uint32_t>(cap ? load.Read(*cap).asInt() : 20);
    load.KeyRead(entry, ConfigKeyId::MaxMembers, cap ? *cap : Json::Value::nullSingleton(), cap != nullptr);

    const Json::Value& self = load.Member(entry, ConfigKeyId::WillAttackSelf);
    faction.WillAttackSelf = self.asBool();
    load.KeyRead(entry, ConfigKeyId::WillAttackSelf, self, !self.isNull());
    if (!faction.WillAttackSelf) {
        const std::string name = std::to_string(position);
        AddRelationshipGroup(name.c_str(), &faction.GroupHash);
        load.Tell([&](LoadObserver& o) { o.GroupCreated(name, faction.GroupHash); });
    }

    const Json::Value& weapons = load.Member(entry, ConfigKeyId::Weapons);
    load.KeyRead(entry, ConfigKeyId::Weapons, weapons, weapons.isArray());
    if (weapons.isArray()) ReadNames(weapons, faction.Weapons, load);
    FactionList.push_back(std::move(faction));
    load.Tell([&](LoadObserver& o) { o.FactionBuilt(&entry); });

    const Json::Value& models = load.Member(entry, ConfigKeyId::MemberModels);
    load.KeyRead(entry, ConfigKeyId::MemberModels, models, models.isArray());
    if (models.isArray()) ReadNames(models, FactionList.back().MemberModels, load);
}

void BuildDefaultFaction(Load& load) {
    Faction faction;
    faction.MaxMembers = static_cast<uint32_t>(Settings.MaxRioters);
    faction.IsDefault = true;
    if (Settings.RiotersOnlyAttackPlayer) {
        faction.GroupHash = RioterGroup;
    } else {
        faction.WillAttackSelf = true;
    }
    FactionList.push_back(std::move(faction));
    load.Tell([](LoadObserver& o) { o.FactionBuilt(nullptr); });
}

void RebuildFactions(const Json::Value& root, Load& load) {
    const Json::Value& factions = load.Member(root, ConfigKeyId::Factions);
    const bool listed = factions.isArray() && factions.size() > 0;
    load.KeyRead(root, ConfigKeyId::Factions, factions, listed);
    for (const Faction& faction : FactionList) {
        if (faction.WillAttackSelf || faction.IsDefault) continue;
        RemoveRelationshipGroup(faction.GroupHash);
        load.Tell([&](LoadObserver& o) { o.GroupRemoved(faction.GroupHash); });
    }
    RiotCounts.Dropped += static_cast<uint64_t>(CountRioters());
    FactionList.clear();
    if (listed) {
        for (Json::ArrayIndex k = 0; k < factions.size(); ++k)
            BuildFaction(load.Read(factions[k]), k, load);
    } else {
        BuildDefaultFaction(load);
    }
}

bool LoadGuarded(const std::string* given, LoadObserver* observer, Json::Value* kept) {
    Load load{observer};
    // JsonCpp throws for a value of the wrong kind; the load then ends where it stands and keeps what it
    // applied.
    try {
        std::string read;
        if (!given) ReadConfigFile(read);
        Json::Value parsed;
        Json::Value& root = kept ? *kept : parsed;
        ParseConfig(given ? *given : read, root, load);
        const Json::Value& document = root;
        ApplySettings(document, load);
        RebuildFactions(document, load);
        RemoveThrowables();
    } catch (const std::exception& error) {
        const std::string what = error.what();
        load.Tell([&](LoadObserver& o) { o.Ended(load.at, what); });
    } catch (...) {
        load.Tell([&](LoadObserver& o) { o.Ended(load.at, ""); });
    }
    return load.heardAll;
}

}  // namespace

void LoadConfig(LoadObserver* observer) {
    LoadGuarded(nullptr, observer, nullptr);
}

bool LoadConfigText(const std::string& bytes, LoadObserver* observer, Json::Value* document) {
    return LoadGuarded(&bytes, observer, document);
}

int ReadConfigFile(std::string& bytes) {
    errno = 0;
    // The name is UTF-8, so that a path with other than ASCII characters opens on Windows too.
    std::ifstream file(std::filesystem::u8path(Settings.ConfigFileName), std::ios::binary);
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
