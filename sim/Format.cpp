#include "sim/Format.h"

#include <charconv>

namespace {
template <typename T, typename... Extra>
void AppendChars(std::string& out, T value, Extra... extra) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, extra...);
    out.append(buffer, result.ptr);
}
}  // namespace

void AppendInt(std::string& out, int64_t value) {
    AppendChars(out, value);
}
void AppendUnsigned(std::string& out, uint64_t value) {
    AppendChars(out, value);
}

void AppendHex32(std::string& out, uint32_t value) {
    static const char digits[] = "0123456789ABCDEF";
    out += "0x";
    for (int shift = 28; shift >= 0; shift -= 4)
        out += digits[(value >> shift) & 0xF];
}

void AppendFloat(std::string& out, float value) {
    AppendChars(out, value);
}
void AppendDouble(std::string& out, double value) {
    AppendChars(out, value);
}

void AppendQuoted(std::string& out, const char* text) {
    static const char digits[] = "0123456789ABCDEF";
    out += '"';
    for (const char* p = text; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            out += "\\x";
            out += digits[c >> 4];
            out += digits[c & 0xF];
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

std::string FloatText(float value) {
    std::string out;
    AppendFloat(out, value);
    return out;
}
