#pragma once
#include <cstddef>
#include <string>

class LoadObserver;

// Reads the configuration file, applies it to the settings and rebuilds the factions.
// Never throws: a broken file ends the load where it breaks and keeps what was applied before.
// An observer, when given, is told each step of the load (config/LoadObserver.h); the game's loads have none.
void LoadConfig(LoadObserver* observer = nullptr);

// The same load of a file's bytes already read.
void LoadConfigText(const std::string& bytes, LoadObserver* observer = nullptr);

// The part of a file's bytes that the loader parses: all of them but a leading UTF-8 byte-order mark.
std::size_t ConfigTextStart(const std::string& bytes);
