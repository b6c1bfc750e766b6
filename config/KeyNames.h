#pragma once
#include <cstdint>
#include <map>
#include <string>

extern const std::map<std::string, int32_t> KeyNameTable;

// The code of the key with exactly this name (byte for byte), or false when there is none.
bool LookupKeyName(const std::string& name, int32_t* code);

// The name of the key with that code ("F7"), or "the key of code N".
std::string KeyNameOf(int32_t code);
