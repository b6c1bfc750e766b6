#include "app/TextTools.h"

#include <fmt/format.h>

namespace {

// The length of the valid UTF-8 sequence at k, or 0.
std::size_t Utf8Length(const std::string& text, std::size_t k) {
    const auto at = [&](std::size_t j) {
        return k + j < text.size() ? static_cast<unsigned char>(text[k + j]) : 0;
    };
    const unsigned char u = at(0), second = at(1);
    const std::size_t n = u < 0x80 ? 1 : u < 0xC2 ? 0 : u < 0xE0 ? 2 : u < 0xF0 ? 3 : u < 0xF5 ? 4 : 0;
    for (std::size_t j = 1; j < n; ++j)
        if ((at(j) & 0xC0) != 0x80) return 0;
    if ((u == 0xE0 && second < 0xA0) || (u == 0xED && second > 0x9F) || (u == 0xF0 && second < 0x90) ||
        (u == 0xF4 && second > 0x8F))
        return 0;  // overlong, a surrogate, or beyond U+10FFFF
    return n;
}

}  // namespace

std::string Printable(const std::string& text) {
    std::string shown;
    for (std::size_t k = 0; k < text.size();) {
        const unsigned char u = static_cast<unsigned char>(text[k]);
        const std::size_t n = Utf8Length(text, k);
        if (n == 0 || (u < 0x20 && u != '\n') || u == 0x7F) {
            shown += fmt::format("\\x{:02X}", u);
            ++k;
        } else {
            shown.append(text, k, n);
            k += n;
        }
    }
    return shown;
}
