#include "config/LoadCheckText.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <utility>

#include <fmt/format.h>

#include "config/Words.h"

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

// The bare word at k (letters, digits and _ + - .), as a value or key without quotes is written.
std::string WordAt(const std::string& text, std::size_t k) {
    std::size_t end = k;
    while (end < text.size() && end < k + 40 &&
           (std::isalnum(static_cast<unsigned char>(text[end])) ||
            std::string("_+-.").find(text[end]) != std::string::npos))
        ++end;
    return text.substr(k, end - k);
}

// What stands at k where the parser wanted a value: a bare word, a number written otherwise than JSON's way,
// or nothing before a closing bracket or comma.
std::string NoValue(const std::string& text, std::size_t k) {
    const std::string word = WordAt(text, k);
    const std::string lower = [&] {
        std::string l = word;
        for (char& c : l)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return l;
    }();
    if (lower == "true" || lower == "false" || lower == "null")
        return fmt::format("{} must be written in lower case, exactly so: {}", word, lower);
    static const char* const words[] = {"true", "false", "null"};
    const std::string meant = Suggest(word, words, 3, 2);
    if (!meant.empty() && word.size() >= 3)
        return fmt::format(
            "{} is not a word JSON knows: did you mean {}? (A text is written between double "
            "quotes, \"{}\")",
            word, meant, word);
    if (!word.empty() &&
        (word[0] == '+' || word[0] == '.' || std::isdigit(static_cast<unsigned char>(word[0]))))
        return fmt::format(
            "{} is not a number as JSON writes one: digits, with a minus sign before them when below zero, a "
            "point between them (0.5, not .5), and no + before them",
            word);
    if (!word.empty() && word[0] != '-')
        return fmt::format(
            "{} has no quotes: a text is written between straight double quotes, \"{}\" (true, false and "
            "null are the only words without them)",
            word, word);
    if (k < text.size() && std::string("]},:").find(text[k]) != std::string::npos)
        return fmt::format(
            "a value is missing before this '{}': a number, a text in double quotes, true, false, "
            "null, a list in [ ] or an object in {{ }}",
            text[k]);
    return "a value should start here: a number, a text in double quotes, true, false, null, a list in [ ] "
           "or "
           "an object in { }";
}

// A text's escape the parser refuses: the first backslash in the text at k that JSON does not know.
std::string BadEscape(const std::string& text, std::size_t k, const std::string& message) {
    if (message.find("unicode") != std::string::npos || message.find("surrogate") != std::string::npos)
        return "\\u must be followed by four hexadecimal digits (0 to 9, A to F), as in \\u00E9, and a "
               "character beyond \\uFFFF by a pair of them; simpler, write the character itself";
    const std::size_t end = StringEnd(text, k, text.size());
    for (std::size_t b = text.find('\\', k + 1); b != std::string::npos && b + 1 < end;
         b = text.find('\\', b + 2))
        if (std::string("\"\\/bfnrtu").find(text[b + 1]) == std::string::npos)
            return fmt::format(
                "\\{} is not an escape JSON knows: in a text a backslash starts one of \\\", \\\\, \\/, \\n, "
                "\\t or \\u; a backslash of its own, as in a Windows path, is written twice (C:\\\\Games)",
                text[b + 1]);
    return "a backslash ends this text: a backslash of its own is written twice (\\\\)";
}

// The parser's other messages, in plain words; the parser's own follows only where nothing better is known.
std::string ParserWords(const std::string& text, std::size_t at, const std::string& message) {
    if (message.rfind("Syntax error: value", 0) == 0) return NoValue(text, at);
    if (message.rfind("Missing '}' or object member name", 0) == 0) {
        const std::string word = WordAt(text, at);
        const bool named =
            !word.empty() && (std::isalpha(static_cast<unsigned char>(word[0])) || word[0] == '_');
        return named ? fmt::format(
                           "the key {} has no quotes: a key is written between straight double "
                           "quotes, \"{}\"",
                           word, word)
                     : "a key in double quotes, or the '}' that closes the object, should come here";
    }
    if (message.rfind("Missing ':'", 0) == 0)
        return "a colon is missing here: a key and its value are written \"Key\": value";
    if (message.rfind("Missing ','", 0) == 0)
        return fmt::format("a comma, or the '{}' that closes the {}, should come here",
                           message.find("']'") != std::string::npos ? ']' : '}',
                           message.find("']'") != std::string::npos ? "list" : "object");
    const std::string notNumber = "' is not a number.";
    if (message.size() > notNumber.size() + 1 &&
        message.compare(message.size() - notNumber.size(), notNumber.size(), notNumber) == 0)
        return fmt::format(
            "{} is not a number the game can hold: it is too large or too small (numbers go up to about "
            "1.8e308); write a smaller one",
            message.substr(1, message.size() - notNumber.size() - 1));
    if (message.find("escape") != std::string::npos) return BadEscape(text, at, message);
    return "the text here is not JSON as the game reads it (the parser says: " + message + ")";
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
            "the file is not JSON text: it starts with \"{}\" where a value such as {{ must be. JSON is the "
            "way the config is written: one {{ }} holding \"Key\": value pairs separated by commas, as in "
            "Skirmora_config.example.txt",
            start);
    }
    const std::size_t before = at > 0 ? text.find_last_not_of(" \t\r\n", at - 1) : std::string::npos;
    if (at < text.size() && (text[at] == '}' || text[at] == ']') && before != std::string::npos &&
        text[before] == ',')
        return fmt::format("a comma before the closing '{}' (a trailing comma): JSON allows none; remove it",
                           text[at]);
    return ParserWords(text, at, message);
}
