#include "config/LoadConfig.h"

#include <fstream>
#include <sstream>
#include <string>

#include <json/json.h>

#include "config/KeyNames.h"
#include "config/Settings.h"
#include "host/Natives.h"
#include "host/ScriptMain.h"
#include "riot/Roster.h"

namespace {

std::string ReadConfigText() {
    std::ifstream file(Settings.ConfigFileName, std::ios::binary);
    std::ostringstream text;
    if (file) text << file.rdbuf();
    std::string content = text.str();
    // Notepad and other Windows editors start the file with a byte-order mark, which the parser rejects.
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) content.erase(0, 3);
    return content;
}

void ParseConfig(const std::string& text, Json::Value& root) {
    // The classic reader: comments allowed, any top-level value, the tree read so far kept on a parse error.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    Json::Reader reader;
#pragma GCC diagnostic pop
    reader.parse(text, root, false);
}

void ReadNames(const Json::Value& array, std::vector<std::string>& names) {
    for (Json::ArrayIndex k = 0; k < array.size(); ++k)
        names.push_back(array[k].asString());
}

void ApplySettings(const Json::Value& root) {
    int32_t code = 0;
    if (LookupKeyName(root["EnableKey"].asString(), &code)) Settings.EnableKey = code;

    if (root["MaxRioters"].isInt()) Settings.MaxRioters = root["MaxRioters"].asInt();

    const Json::Value* weapons = nullptr;
    if (root["WeaponsUsedByAllFactions"].isArray()) {
        weapons = &root["WeaponsUsedByAllFactions"];
    } else if (root["PedWeapons"].isArray()) {
        weapons = &root["PedWeapons"];
    }
    if (weapons) {
        SharedWeaponList.clear();
        ReadNames(*weapons, SharedWeaponList);
    }

    if (root["DisableCops"].isBool()) Settings.DisableCops = root["DisableCops"].asBool();
    if (root["PedAccuracy"].isNumeric()) Settings.PedAccuracy = root["PedAccuracy"].asDouble();
    if (root["RiotersOnlyAttackPlayer"].asBool()) Settings.RiotersOnlyAttackPlayer = true;
}

void BuildFaction(const Json::Value& entry, Json::ArrayIndex position) {
    Faction faction;
    faction.MaxMembers = static_cast<uint32_t>(entry.get("MaxMembers", 20).asInt());
    if (entry["WillAttackSelf"].asBool()) {
        faction.WillAttackSelf = true;
    } else {
        const std::string name = std::to_string(position);
        AddRelationshipGroup(name.c_str(), &faction.GroupHash);
    }
    if (entry["Weapons"].isArray()) ReadNames(entry["Weapons"], faction.Weapons);
    FactionList.push_back(std::move(faction));
    if (entry["MemberModels"].isArray()) ReadNames(entry["MemberModels"], FactionList.back().MemberModels);
}

void BuildDefaultFaction() {
    Faction faction;
    faction.MaxMembers = static_cast<uint32_t>(Settings.MaxRioters);
    faction.IsDefault = true;
    if (Settings.RiotersOnlyAttackPlayer) {
        faction.GroupHash = RioterGroup;
    } else {
        faction.WillAttackSelf = true;
    }
    FactionList.push_back(std::move(faction));
}

void RebuildFactions(const Json::Value& root) {
    const Json::Value& factions = root["Factions"];
    for (const Faction& faction : FactionList)
        if (!faction.WillAttackSelf && !faction.IsDefault) RemoveRelationshipGroup(faction.GroupHash);
    FactionList.clear();
    if (factions.isArray() && factions.size() > 0) {
        for (Json::ArrayIndex k = 0; k < factions.size(); ++k)
            BuildFaction(factions[k], k);
    } else {
        BuildDefaultFaction();
    }
}

}  // namespace

void LoadConfig() {
    // JsonCpp throws for a value of the wrong kind; the load then ends where it stands and keeps what it
    // applied.
    try {
        const std::string text = ReadConfigText();
        Json::Value root;
        ParseConfig(text, root);
        const Json::Value& document = root;
        ApplySettings(document);
        RebuildFactions(document);
        RemoveThrowables();
    } catch (...) {
    }
}
