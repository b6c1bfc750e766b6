#include "config/Words.h"

#include <algorithm>
#include <cctype>

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::size_t EditDistance(const std::string& a, const std::string& b) {
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

std::string Suggest(const std::string& word, const std::vector<std::string>& known, std::size_t maxDistance) {
    std::vector<const char*> names;
    for (const std::string& name : known)
        names.push_back(name.c_str());
    return Suggest(word, names.data(), names.size(), maxDistance);
}

std::string Suggest(const std::string& word, const char* const* known, std::size_t count, std::size_t maxDistance) {
    const std::string lower = Lower(word);
    std::string best;
    std::size_t bestDistance = maxDistance + 1;
    for (std::size_t k = 0; k < count; ++k) {
        const std::string name = known[k];
        // The lengths alone set a floor on the distance: most names are passed over without the table.
        const std::size_t gap =
            name.size() > word.size() ? name.size() - word.size() : word.size() - name.size();
        if (gap >= bestDistance) continue;
        const std::size_t distance = EditDistance(lower, Lower(name));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = name;
        }
    }
    return best;
}
