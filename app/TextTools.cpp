#include "app/TextTools.h"

#include <algorithm>

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

namespace {

std::size_t Characters(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// The byte offset of character n of text (text.size() when it has no more).
std::size_t OffsetOf(const std::string& text, std::size_t n) {
    for (std::size_t k = 0; k < text.size(); ++k)
        if ((static_cast<unsigned char>(text[k]) & 0xC0) != 0x80 && n-- == 0) return k;
    return text.size();
}

std::string WrapLine(std::string line, std::size_t width) {
    const std::size_t leading = std::min(line.find_first_not_of(' '), line.size());
    const std::string indent(std::min(leading + 2, width / 2), ' ');
    std::string wrapped;
    while (Characters(line) > width) {
        const std::size_t cut = OffsetOf(line, width);  // the first character that does not fit
        const std::size_t blanks = std::min(line.find_first_not_of(' '), line.size());
        const std::size_t blank = line.rfind(' ', cut);
        const bool atBlank = blank != std::string::npos && blank > blanks;
        const std::size_t keep = atBlank ? line.find_last_not_of(' ', blank) + 1 : cut;
        const std::size_t rest = atBlank ? line.find_first_not_of(' ', blank) : cut;
        wrapped += line.substr(0, keep) + "\n";
        line = indent + line.substr(std::min(rest, line.size()));
    }
    return wrapped + line;
}

}  // namespace

std::string WrapLines(const std::string& text, std::size_t width) {
    if (width == 0) return text;
    std::string wrapped;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        wrapped += WrapLine(text.substr(start, end - start), width);
        if (end < text.size()) wrapped += '\n';
        start = end + 1;
    }
    return wrapped;
}
