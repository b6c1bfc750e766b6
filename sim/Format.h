// Number formatting that gives the same text on every platform and C runtime.
#pragma once
#include <cstdint>
#include <string>

void AppendInt(std::string& out, int64_t value);
void AppendUnsigned(std::string& out, uint64_t value);
void AppendHex32(std::string& out, uint32_t value);  // 0x1B06D571
void AppendFloat(std::string& out, float value);     // shortest text that reads back as the same float
void AppendDouble(std::string& out, double value);
void AppendQuoted(std::string& out, const char* text);

std::string FloatText(float value);
