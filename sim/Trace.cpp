#include "sim/Trace.h"

void Trace::Add(std::string line) {
    ++count;
    if (stream) *stream << line << '\n';
    if (keep) lines.push_back(std::move(line));
}

std::string Trace::Text() const {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += '\n';
    }
    return text;
}
