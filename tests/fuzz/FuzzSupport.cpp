#include "tests/fuzz/FuzzSupport.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

const std::string& WriteConfigFile(const uint8_t* data, size_t size) {
    // A file in memory, opened by its /proc name: a file rewritten on disk for every input cost a tenth of
    // the fuzzer's time in the file system's forced write-back.
    static const int file = memfd_create("Skirmora_config.txt", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(file);
    if (file < 0 || pwrite(file, data, size, 0) != static_cast<ssize_t>(size) ||
        ftruncate(file, static_cast<off_t>(size)) != 0)
        FuzzFailure("cannot write the config file in memory");
    return path;
}

void FuzzFailure(const std::string& message) {
    std::fprintf(stderr, "skirmora fuzz failure: %s\n", message.c_str());
    std::abort();
}
