#pragma once
#include <string>
#include <vector>

extern const std::vector<std::string> ThrowableList;

// Whether the name is one of the thrown weapons, exactly so (case counts).
bool IsThrowable(const std::string& name);
