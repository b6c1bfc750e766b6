#include "config/KeyNames.h"

const std::map<std::string, int32_t> KeyNameTable = {
    {"F1", 112}, {"F2", 113}, {"F3", 114}, {"F4", 115}, {"F5", 116}, {"F6", 117}, {"F7", 118}, {"F8", 119},
};

std::string KeyNameOf(int32_t code) {
    for (const auto& entry : KeyNameTable)
        if (entry.second == code) return entry.first;
    return "the key of code " + std::to_string(code);
}

bool LookupKeyName(const std::string& name, int32_t* code) {
    auto found = KeyNameTable.find(name);
    if (found == KeyNameTable.end()) return false;
    *code = found->second;
    return true;
}
