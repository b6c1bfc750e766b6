#include "app/TextTools.h"

#include <algorithm>
#include <string_view>

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

std::string OneLine(const std::string& text) {
    std::string shown;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        shown += Printable(text.substr(start, end - start)) + (end < text.size() ? "\\x0A" : "");
        start = end + 1;
    }
    return shown;
}

std::string ShellQuoted(const std::string& name) {
    const auto plain = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               std::string_view("_-./:@%+=,").find(c) != std::string_view::npos ||
               static_cast<unsigned char>(c) >= 0x80;
    };
    if (!name.empty() && std::all_of(name.begin(), name.end(), plain)) return name;
    // A backslash is kept in double quotes but before what it would escape there (a Windows path: C:\Games).
    const bool escapes = !name.empty() && (name.back() == '\\' || name.find("\\\\") != std::string::npos);
    if (!escapes && name.find_first_of("\"$`!'\n") == std::string::npos) return '"' + name + '"';
    std::string quoted = "'";
    for (const char c : name)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}
