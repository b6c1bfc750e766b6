#include "app/check/DoctorFiles.h"

#include <cstdint>

#include <fmt/format.h>

namespace {

uint32_t Little(const std::string& bytes, std::size_t at, std::size_t size) {
    uint32_t value = 0;
    for (std::size_t k = size; k-- > 0;)
        value = value << 8 | static_cast<unsigned char>(bytes[at + k]);
    return value;
}

// The version in the resource's fixed part, found by its signature: "0.1.0", or "0.1.0.4" when the fourth
// number is not 0.
std::string VersionOf(const std::string& bytes) {
    const std::size_t at = bytes.find("\xBD\x04\xEF\xFE", 0, 4);
    if (at == std::string::npos || at + 16 > bytes.size()) return "";
    const uint32_t high = Little(bytes, at + 8, 4), low = Little(bytes, at + 12, 4);
    const std::string version = fmt::format("{}.{}.{}", high >> 16, high & 0xFFFF, low >> 16);
    return low & 0xFFFF ? fmt::format("{}.{}", version, low & 0xFFFF) : version;
}

}  // namespace

ProgramFile ExamineProgram(const std::string& bytes) {
    if (bytes.empty()) return {"is empty (0 bytes)", ""};
    const std::size_t header =
        bytes.size() >= 0x40 && bytes.compare(0, 2, "MZ") == 0 ? Little(bytes, 0x3C, 4) : bytes.size();
    if (header + 24 > bytes.size() || bytes.compare(header, 4, std::string("PE\0\0", 4)) != 0)
        return {"is not a program file", ""};
    const uint32_t machine = Little(bytes, header + 4, 2), traits = Little(bytes, header + 22, 2);
    const std::string version = VersionOf(bytes);
    if (machine != 0x8664)
        return {machine == 0x14C ? "is a 32-bit program: the game takes only 64-bit ones"
                                 : "is not made for a PC",
                version};
    if (!(traits & 0x2000)) return {"is a program of its own (an .exe), not a DLL", version};
    return {"", version};
}
