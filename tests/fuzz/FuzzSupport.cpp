#include "tests/fuzz/FuzzSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

void EnterFuzzDirectory() {
    static bool entered = false;
    if (entered) return;
    char pattern[] = "/tmp/skirmora-fuzz-XXXXXX";
    if (!mkdtemp(pattern)) FuzzFailure("cannot make a temporary directory");
    std::filesystem::current_path(pattern);
    entered = true;
}

void WriteConfigFile(const uint8_t* data, size_t size) {
    std::ofstream out("Skirmora_config.txt", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void FuzzFailure(const std::string& message) {
    std::fprintf(stderr, "skirmora fuzz failure: %s\n", message.c_str());
    std::abort();
}
