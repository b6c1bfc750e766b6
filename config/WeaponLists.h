#pragma once
#include <string>
#include <vector>

extern const std::vector<std::string> ThrowableList;
