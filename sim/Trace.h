// The call trace: one line per event, each prefixed with the frame and the tick.
#pragma once
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

struct Trace {
    bool keep = true;                // keep lines in memory
    std::ostream* stream = nullptr;  // and/or write each line here
    std::vector<std::string> lines;
    int64_t count = 0;

    bool Active() const { return keep || stream; }
    void Add(std::string line);
    std::string Text() const;  // all kept lines, each ending in a newline
};
