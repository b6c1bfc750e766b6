#include "config/Words.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include <fmt/format.h>

namespace {

// The edit distance of a and b (both in lower case), or limit + 1 when it is more than limit. Only the cells
// within limit of the diagonal can hold less, and no row's least value is below the one of the row before.
// rows is room for three rows, kept between calls.
std::size_t BoundedDistance(const std::string& a, const std::string& b, std::size_t limit,
                            std::vector<std::size_t>& rows) {
    const std::size_t n = a.size(), m = b.size(), far = limit + 1;
    rows.assign(3 * (m + 2), far);
    std::size_t* before = rows.data();  // the row before the last, for a transposition
    std::size_t* last = before + m + 2;
    std::size_t* row = last + m + 2;
    for (std::size_t j = 0; j <= std::min(m, limit); ++j)
        last[j] = j;
    for (std::size_t i = 1; i <= n; ++i) {
        const std::size_t low = i > limit ? i - limit : 1, high = std::min(m, i + limit);
        if (low > high) return far;
        row[low - 1] = low == 1 && i <= limit ? i : far;
        row[high + 1] = far;
        std::size_t least = row[low - 1];
        for (std::size_t j = low; j <= high; ++j) {
            std::size_t d =
                std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d = std::min(d, before[j - 2] + 1);
            row[j] = std::min(d, far);
            least = std::min(least, row[j]);
        }
        if (least > limit) return far;
        std::size_t* spare = before;
        before = last;
        last = row;
        row = spare;
    }
    return last[m];
}

}  // namespace

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> rows;
    return BoundedDistance(Lower(a), Lower(b), a.size() + b.size(), rows);
}

std::string Suggest(const std::string& word, const std::vector<std::string>& known, std::size_t maxDistance) {
    std::vector<const char*> names;
    for (const std::string& name : known)
        names.push_back(name.c_str());
    return Suggest(word, names.data(), names.size(), maxDistance);
}

std::string Suggest(const std::string& word, const char* const* known, std::size_t count,
                    std::size_t maxDistance) {
    const std::string lower = Lower(word);
    std::vector<std::size_t> rows;
    std::string name;
    const char* best = nullptr;
    std::size_t bestDistance = maxDistance + 1;
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t size = std::strlen(known[k]);
        // The lengths alone set a floor on the distance: most names are passed over without the table.
        const std::size_t gap = size > word.size() ? size - word.size() : word.size() - size;
        if (gap >= bestDistance) continue;
        name.assign(known[k], size);
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const std::size_t distance = BoundedDistance(lower, name, bestDistance - 1, rows);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = known[k];
        }
    }
    return best ? best : "";
}

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

std::size_t Utf8Length(std::string_view text, std::size_t k) {
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

uint32_t Utf8CodePoint(std::string_view text, std::size_t k, std::size_t length) {
    const auto at = [&](std::size_t j) { return static_cast<unsigned char>(text[k + j]); };
    uint32_t code = length == 1   ? at(0)
                    : length == 2 ? at(0) & 0x1Fu
                    : length == 3 ? at(0) & 0x0Fu
                                  : at(0) & 0x07u;
    for (std::size_t j = 1; j < length; ++j)
        code = (code << 6) | (at(j) & 0x3Fu);
    return code;
}
