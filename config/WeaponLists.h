#pragma once
#include <string>
#include <vector>

extern const std::vector<std::string> ThrowableList;

std::vector<std::string> BuiltInWeaponList();

// Removes every thrown weapon from SharedWeaponList; every completed load ends with it.
void RemoveThrowables();

// Whether the name is one of the thrown weapons, exactly so (case counts).
bool IsThrowable(const std::string& name);
