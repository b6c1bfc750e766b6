#include "app/check/GameLogsText.h"

#include <algorithm>
#include <cstdint>

#include "app/InputFile.h"
#include "app/TextTools.h"

namespace {

constexpr std::size_t LogTail = std::size_t{4} << 20;  // Skirmora.log stops at 1 MiB; the hook's are smaller

void AppendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// UTF-16 little-endian from the byte at from, as UTF-8; a surrogate without its pair becomes U+FFFD.
std::string FromUtf16(const std::string& bytes, std::size_t from) {
    std::string text;
    const auto unit = [&](std::size_t k) {
        return static_cast<uint32_t>(static_cast<unsigned char>(bytes[k]) |
                                     static_cast<unsigned char>(bytes[k + 1]) << 8);
    };
    for (std::size_t k = from; k + 1 < bytes.size(); k += 2) {
        uint32_t c = unit(k);
        if (c >= 0xD800 && c < 0xDC00 && k + 3 < bytes.size() && unit(k + 2) >= 0xDC00 &&
            unit(k + 2) < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(k + 2) - 0xDC00);
            k += 2;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        AppendUtf8(text, c);
    }
    return text;
}

// Where UTF-16 text without a byte-order mark starts: most of its characters are ASCII, so every other byte
// is zero. The last part of a log may start on either byte of a character. npos when it is not UTF-16.
std::size_t Utf16Start(const std::string& bytes) {
    std::size_t zeros[2] = {0, 0};
    const std::size_t sample = std::min<std::size_t>(bytes.size(), 4096);
    for (std::size_t k = 0; k < sample; ++k)
        if (bytes[k] == '\0') ++zeros[k % 2];
    if (zeros[1] * 4 > sample && zeros[0] * 4 < zeros[1]) return 0;
    if (zeros[0] * 4 > sample && zeros[1] * 4 < zeros[0]) return 1;
    return std::string::npos;
}

}  // namespace

std::string ReadLogLines(const std::string& path, std::vector<std::string>& lines) {
    std::string bytes;
    const std::string error = ReadTail(path, bytes, LogTail);
    if (!error.empty()) return error;
    if (bytes.compare(0, 2, "\xFF\xFE") == 0) {
        bytes = FromUtf16(bytes, 2);
    } else if (Utf16Start(bytes) != std::string::npos) {
        bytes = FromUtf16(bytes, Utf16Start(bytes));
    } else if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        bytes.erase(0, 3);
    }
    if (bytes.find('\0') != std::string::npos) return "it holds bytes that are not text";
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        const std::size_t cr = end > start && bytes[end - 1] == '\r' ? 1 : 0;  // a Windows line end
        lines.push_back(Printable(bytes.substr(start, end - start - cr)));
        start = end + 1;
    }
    return "";
}
