#include "app/CheckText.h"

#include <algorithm>
#include <cctype>

#include <fmt/format.h>

namespace {

std::string Folded(const std::string& name) {
    std::string folded;
    for (char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u == ' ' || u == '_' || u == '-' || u == '\t') continue;
        folded += static_cast<char>(std::tolower(u));
    }
    return folded;
}

// Edit distance with adjacent transpositions, so "MaxRoiters" is one step from "MaxRioters".
std::size_t Distance(const std::string& a, const std::string& b) {
    const std::size_t n = a.size(), m = b.size();
    std::vector<std::vector<std::size_t>> d(n + 1, std::vector<std::size_t>(m + 1));
    for (std::size_t i = 0; i <= n; ++i)
        d[i][0] = i;
    for (std::size_t j = 0; j <= m; ++j)
        d[0][j] = j;
    for (std::size_t i = 1; i <= n; ++i) {
        for (std::size_t j = 1; j <= m; ++j) {
            const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[n][m];
}

bool Printable(const std::string& name) {
    for (char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u <= ' ' || u == 0x7F) return false;
    }
    return !name.empty();
}

}  // namespace

LineIndex::LineIndex(const std::string& text) : text_(text) {
    starts_.push_back(0);
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] == '\r' && k + 1 < text.size() && text[k + 1] == '\n') ++k;
        if (text[k] == '\r' || text[k] == '\n') starts_.push_back(k + 1);
    }
}

TextPosition LineIndex::Of(std::ptrdiff_t offset) const {
    if (offset < 0) return {};
    const std::size_t at = std::min(static_cast<std::size_t>(offset), text_.size());
    // The last line that starts at or before the offset; a "\r\n" counts as one line end.
    const auto next = std::upper_bound(starts_.begin(), starts_.end(), at);
    const std::size_t line = static_cast<std::size_t>(next - starts_.begin());
    TextPosition position{static_cast<int>(line), 1};
    for (std::size_t k = starts_[line - 1]; k < at; ++k)
        if ((static_cast<unsigned char>(text_[k]) & 0xC0) != 0x80) ++position.column;
    return position;
}

int LineIndex::LineOf(std::ptrdiff_t offset) const {
    if (offset < 0) return 0;
    const std::size_t at = std::min(static_cast<std::size_t>(offset), text_.size());
    return static_cast<int>(std::upper_bound(starts_.begin(), starts_.end(), at) - starts_.begin());
}

TextPosition PositionOf(const std::string& text, std::ptrdiff_t offset) {
    return LineIndex(text).Of(offset);
}

std::string SuggestKey(const std::string& key, const std::vector<std::string>& known) {
    const std::string folded = Folded(key);
    for (const std::string& name : known)
        if (Folded(name) == folded) return name;
    // Allow about one slip in four letters, at most three.
    const std::size_t allowed = std::min<std::size_t>(3, std::max<std::size_t>(1, folded.size() / 4));
    std::string best;
    std::size_t bestDistance = allowed + 1;
    for (const std::string& name : known) {
        const std::size_t distance = Distance(folded, Folded(name));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = name;
        }
    }
    return best;
}

std::size_t SkipBlanksAndComments(const std::string& text, std::size_t from) {
    std::size_t k = from;
    while (k < text.size()) {
        const char c = text[k];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++k;
        } else if (text.compare(k, 2, "//") == 0) {
            const std::size_t end = text.find_first_of("\r\n", k);
            k = end == std::string::npos ? text.size() : end;
        } else if (text.compare(k, 2, "/*") == 0) {
            const std::size_t end = text.find("*/", k + 2);
            if (end == std::string::npos) return k;  // an unclosed comment is an error, not a blank
            k = end + 2;
        } else {
            return k;
        }
    }
    return text.size();
}

std::string KindOf(const Json::Value& value) {
    switch (value.type()) {
        case Json::nullValue:
            return "null";
        case Json::intValue:
        case Json::uintValue:
        case Json::realValue:
            return "a number";
        case Json::stringValue:
            return "a text";
        case Json::booleanValue:
            return value.asBool() ? "true" : "false";
        case Json::arrayValue:
            return "an array";
        case Json::objectValue:
            return "an object";
    }
    return "a value";
}

std::string SourceOf(const std::string& text, const Json::Value& value) {
    if (value.isArray()) return "an array";
    if (value.isObject()) return "an object";
    const std::ptrdiff_t start = value.getOffsetStart();
    const std::ptrdiff_t limit = value.getOffsetLimit();
    std::string written;
    if (start >= 0 && limit > start && static_cast<std::size_t>(limit) <= text.size()) {
        written = text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(limit - start));
    } else {
        written = value.isString() ? "\"" + value.asString() + "\"" : value.asString();
    }
    for (char& c : written)
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    if (written.size() > 40) written = written.substr(0, 37) + "...";
    return written;
}

std::string ShowName(const std::string& name) {
    return Printable(name) ? name : fmt::format("\"{}\"", name);
}

std::string ShowNames(const std::vector<std::string>& names) {
    std::string shown;
    for (const std::string& name : names) {
        if (!shown.empty()) shown += ", ";
        shown += ShowName(name);
    }
    return shown;
}
