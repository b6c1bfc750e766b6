// What a load of the configuration does, step by step, for the check that explains it. The calls come in the
// load's own order, each with the JSON value the step looked at; the values live until the load returns, or
// as long as the document the caller gave LoadConfigText. Whatever an observer throws is kept from the load:
// the load goes on as without it, and no further call reaches it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include <json/json.h>

#include "config/ConfigKeys.h"

class LoadObserver {
  public:
    virtual ~LoadObserver() = default;
    // The document as the reader built it, and the reader's first complaint (errorOffset -1 when none).
    virtual void Parsed(const Json::Value& root, std::ptrdiff_t errorOffset, const std::string& error) = 0;
    // The load read the member key of object (the document or a faction entry) and met value (a null value
    // when the member is absent); applied tells whether the value took effect. For a list of names the call
    // comes before its entries are read.
    virtual void KeyRead(const Json::Value& object, const ConfigKey& key, const Json::Value& value,
                         bool applied) = 0;
    // A faction was appended to FactionList: built from entry, or the default faction (nullptr).
    virtual void FactionBuilt(const Json::Value* entry) = 0;
    virtual void GroupCreated(const std::string& name, uint32_t hash) = 0;
    virtual void GroupRemoved(uint32_t hash) = 0;
    // An exception ended the load while it read at (nullptr: inside the reader); what the exception said.
    virtual void Ended(const Json::Value* at, const std::string& what) = 0;
};
