#pragma once
#include <string>
#include <vector>

extern const std::vector<std::string> ThrowableList;

std::vector<std::string> BuiltInWeaponList();

// Removes every thrown weapon from the list; every completed load ends with it on the shared list.
void RemoveThrowables(std::vector<std::string>& list);

// Whether the name is one of the thrown weapons, exactly so (case counts).
bool IsThrowable(const std::string& name);
