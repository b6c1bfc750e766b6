#include "app/editor/ConfigSchema.h"

#include <string>

namespace {

Json::Value NameList(const Json::Value& names, const char* what) {
    Json::Value list;
    list["type"] = "array";
    list["items"]["type"] = "string";
    list["items"]["description"] = what;
    // Offered as you type, not enforced: another mod may add names of its own.
    list["items"]["examples"] = names;
    return list;
}

Json::Value Property(const Json::Value& row, const Json::Value& data, const Json::Value& factionKeys) {
    const std::string field = row["field"].asString();
    Json::Value p;
    if (field == "key") {
        p["enum"] = data["keyNames"];
    } else if (field == "whole") {
        p["type"] = "integer";
        p["minimum"] = -2147483647 - 1;
        p["maximum"] = 2147483647;
    } else if (field == "number") {
        p["type"] = "number";
    } else if (field == "bool") {
        p["type"] = "boolean";
    } else if (field == "weapons") {
        p = NameList(data["weapons"], "a weapon name of the game, or of another mod");
    } else if (field == "models") {
        p = NameList(data["models"], "a ped model name of the game, or of another mod");
    } else if (field == "factions") {
        p["type"] = "array";
        p["items"]["type"] = "object";
        p["items"]["properties"] = factionKeys;
        p["items"]["additionalProperties"] = false;
    }
    if (row.isMember("is")) p["description"] = "Must be " + row["is"].asString() + ".";
    if (row.isMember("instead"))
        p["description"] = "A list; when it is not one: " + row["instead"].asString() + ".";
    if (row.isMember("warning"))
        p["description"] = p["description"].asString() + " " + row["warning"].asString();
    if (row.isMember("builtIn")) p["default"] = row["builtIn"];
    return p;
}

}  // namespace

Json::Value ConfigSchema(const Json::Value& data) {
    Json::Value factionKeys(Json::objectValue), topKeys(Json::objectValue);
    for (const Json::Value& row : data["keys"])
        if (row["level"] == "faction") factionKeys[row["name"].asString()] = Property(row, data, {});
    for (const Json::Value& row : data["keys"])
        if (row["level"] == "top") topKeys[row["name"].asString()] = Property(row, data, factionKeys);
    topKeys["$schema"]["type"] = "string";
    Json::Value schema;
    schema["$schema"] = "http://json-schema.org/draft-07/schema#";
    schema["title"] = "Skirmora_config.txt";
    schema["description"] =
        "Skirmora's config file, in the game's folder. Keys not listed change nothing; skirmora-sim check "
        "and Skirmora-config-editor.html say what the game makes of a file.";
    schema["type"] = "object";
    schema["properties"] = topKeys;
    schema["additionalProperties"] = false;
    return schema;
}
