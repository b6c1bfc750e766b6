#include "config/LoadCheckText.h"

#include <algorithm>
#include <map>
#include <utility>

#include <fmt/format.h>

LineIndex::LineIndex(const std::string& text) : text_(text) {
    starts_.push_back(0);
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] == '\r' && k + 1 < text.size() && text[k + 1] == '\n') ++k;
        if (text[k] == '\r' || text[k] == '\n') starts_.push_back(k + 1);
    }
}

std::string LineIndex::At(std::ptrdiff_t offset, bool column) const {
    if (offset < 0) return "";
    const std::size_t at = std::min(static_cast<std::size_t>(offset), text_.size());
    // The last line that starts at or before the offset; a "\r\n" counts as one line end.
    const std::size_t line =
        static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), at) - starts_.begin());
    std::size_t characters = 1;
    for (std::size_t k = starts_[line - 1]; column && k < at; ++k)
        if ((static_cast<unsigned char>(text_[k]) & 0xC0) != 0x80) ++characters;
    return column ? fmt::format("line {}, column {}", line, characters) : fmt::format("line {}", line);
}

std::size_t SkipBlanksAndComments(const std::string& text, std::size_t k) {
    while (true) {
        k = std::min(text.find_first_not_of(" \t\r\n", k), text.size());
        const std::size_t close = text.compare(k, 2, "/*") == 0 ? text.find("*/", k + 2) : std::string::npos;
        if (text.compare(k, 2, "//") == 0) {
            k = text.find_first_of("\r\n", k);
        } else if (close != std::string::npos) {
            k = close + 2;
        } else {
            return k;  // an unclosed comment is an error, not a blank
        }
    }
}

std::vector<Repeat> ScanText(const std::string& text, std::size_t end) {
    std::vector<Repeat> repeats;
    std::vector<std::map<std::string, std::ptrdiff_t>> keys;  // of each array or object open at k
    for (std::size_t k = SkipBlanksAndComments(text, 0); k < end; k = SkipBlanksAndComments(text, k)) {
        if (text[k] == '{' || text[k] == '[') keys.emplace_back();
        if ((text[k] == '}' || text[k] == ']') && !keys.empty()) keys.pop_back();
        if (text[k] != '"') {
            ++k;
            continue;
        }
        std::size_t close = k + 1;  // after the string's closing quote
        for (; close < end && text[close] != '"'; ++close)
            if (text[close] == '\\') ++close;
        close = std::min(close + 1, end);
        // A text followed by a colon is a key.
        const auto at = static_cast<std::ptrdiff_t>(k);
        if (!keys.empty() && close < end && text[SkipBlanksAndComments(text, close)] == ':') {
            const auto seen = keys.back().emplace(text.substr(k, close - k), at);
            if (!seen.second)
                repeats.push_back({seen.first->first, std::exchange(seen.first->second, at), at});
        }
        k = close;
    }
    return repeats;
}

std::string ExplainParseError(const std::string& text, std::ptrdiff_t offset, const std::string& message,
                              bool& notJson) {
    const std::size_t at =
        std::min(static_cast<std::size_t>(std::max<std::ptrdiff_t>(offset, 0)), text.size());
    notJson = false;
    if (at == SkipBlanksAndComments(text, 0) && at < text.size() &&
        std::string("{[\"-0123456789tfn").find(text[at]) == std::string::npos) {
        notJson = true;
        if (text.compare(0, 2, "\xFF\xFE") == 0 || text.compare(0, 2, "\xFE\xFF") == 0)
            return "the file is UTF-16 text, not JSON as the game reads it: save it as UTF-8";
        std::string start;  // the report shows other control bytes and bytes that are not UTF-8 as \xNN
        for (const char c : text.substr(at, 8))
            start += c == '\n' ? std::string("\\x0A") : std::string(1, c);
        return fmt::format(
            "the file is not JSON text: it starts with \"{}\" where a value such as {{ must be", start);
    }
    const std::size_t before = at > 0 ? text.find_last_not_of(" \t\r\n", at - 1) : std::string::npos;
    if (at < text.size() && (text[at] == '}' || text[at] == ']') && before != std::string::npos &&
        text[before] == ',')
        return fmt::format("a comma before the closing '{}' (a trailing comma): JSON allows none; remove it",
                           text[at]);
    return message;
}
