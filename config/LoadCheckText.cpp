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

std::size_t StringEnd(const std::string& text, std::size_t k, std::size_t end) {
    std::size_t close = k + 1;
    for (; close < end && text[close] != '"'; ++close)
        if (text[close] == '\\') ++close;
    return std::min(close + 1, end);
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
        const std::size_t close = StringEnd(text, k, end);
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

namespace {

// The tokens before an offset: where the last one starts and ends, where the one before it ends, and the
// brackets still open, innermost last. Blanks and comments are no tokens.
struct TokensBefore {
    std::size_t lastStart = 0, lastEnd = 0, previousEnd = 0;
    std::string open;

    TokensBefore(const std::string& text, std::size_t at) {
        for (std::size_t k = SkipBlanksAndComments(text, 0); k < at; k = SkipBlanksAndComments(text, k)) {
            if (text[k] == '{' || text[k] == '[') open += text[k];
            if ((text[k] == '}' || text[k] == ']') && !open.empty()) open.pop_back();
            previousEnd = lastEnd;
            lastStart = k;
            k = text[k] == '"' ? StringEnd(text, k, text.size()) : k + 1;
            lastEnd = std::min(k, at);
        }
    }
};

// What closes the brackets still open: "'}'", "']' and '}'".
std::string Closers(const std::string& open) {
    std::string closers;
    for (auto bracket = open.rbegin(); bracket != open.rend(); ++bracket)
        closers += fmt::format("{}'{}'",
                               closers.empty()              ? ""
                               : bracket + 1 == open.rend() ? " and "
                                                            : ", ",
                               *bracket == '{' ? '}' : ']');
    return closers;
}

// A token as the report names it: a text whole (shortened when long), anything else by its first character.
std::string TokenAt(const std::string& text, std::size_t k) {
    const std::size_t end = text[k] == '"' ? StringEnd(text, k, text.size()) : k + 1;
    const std::string token = text.substr(k, std::min<std::size_t>(end - k, 40));
    return text[k] == '"' ? token : "'" + token + "'";
}

// The commonest slips, said at their place: (offset, message) when text at offset is one of them.
bool CommonSlip(const std::string& text, std::ptrdiff_t& offset, const std::string& message,
                std::string& why) {
    const std::size_t at = static_cast<std::size_t>(offset);
    const std::string rest = text.substr(at, 3);
    const TokensBefore before(text, at);
    const std::string& open = before.open;
    if (rest.compare(0, 2, "/*") == 0 && text.find("*/", at + 2) == std::string::npos)
        why = "a comment opened with /* is never closed with */: the rest of the file is comment";
    else if (rest[0] == '#')
        why = "a # comment: the game takes only // and /* */ comments";
    else if (rest[0] == '\'')
        why = "a single quote: JSON takes only straight double quotes (\") around names and texts";
    else if (rest == "\xE2\x80\x9C" || rest == "\xE2\x80\x9D" || rest == "\xE2\x80\x98" ||
             rest == "\xE2\x80\x99")
        why = "a curly quote (" + rest +
              "): JSON takes only straight double quotes (\"), as Notepad types them";
    else if (SkipBlanksAndComments(text, at) == text.size())
        why = open.empty()
                  ? "the file ends before its value does: was it cut short?"
                  : fmt::format("the file ends before its document does: was it cut short? It lacks {}",
                                Closers(open));
    else if (rest[0] == '"' && StringEnd(text, at, text.size()) == text.size() && text.back() != '"')
        why = "this text is never closed with a \": the file ends inside it";
    else if (message.rfind("Missing ','", 0) == 0 && before.lastEnd > 0) {
        why = "a comma is missing here, between this value and " + TokenAt(text, at) + " after it";
        offset = static_cast<std::ptrdiff_t>(before.lastEnd);
    } else if (rest[0] == ':' && text[before.lastStart] == '"' && before.previousEnd > 0) {
        // In an object the parser takes a comment for a comma: the key after it is read as the comma, and
        // its colon is where the parser stops.
        why = "a comma is missing here, between this value and " + TokenAt(text, before.lastStart) +
              " after it";
        offset = static_cast<std::ptrdiff_t>(before.previousEnd);
    }
    return !why.empty();
}

}  // namespace

std::string ExplainParseError(const std::string& text, std::ptrdiff_t& offset, const std::string& message,
                              bool& notJson) {
    const std::size_t at =
        std::min(static_cast<std::size_t>(std::max<std::ptrdiff_t>(offset, 0)), text.size());
    notJson = false;
    offset = static_cast<std::ptrdiff_t>(at);
    std::string slip;
    if (CommonSlip(text, offset, message, slip)) return slip;
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
