#pragma once
#include <cstddef>
#include <string>

#include <json/forwards.h>

class LoadObserver;

// Reads the configuration file, applies it to the settings and rebuilds the factions.
// Never throws: a broken file ends the load where it breaks and keeps what was applied before.
// An observer, when given, is told each step of the load (config/LoadObserver.h); the game's loads have none.
void LoadConfig(LoadObserver* observer = nullptr);

// The same load of a file's bytes already read; document, when given, receives the parsed document and keeps
// it, so that the values the observer is shown outlive the load. False when the observer threw, and so did
// not hear the whole load.
bool LoadConfigText(const std::string& bytes, LoadObserver* observer = nullptr,
                    Json::Value* document = nullptr);

// Reads the whole config file into bytes, as the load does. 0, or when it could not be opened (bytes empty)
// the system's error number (ENOENT: there is no such file).
int ReadConfigFile(std::string& bytes);

// The part of a file's bytes that the loader parses: all of them but a leading UTF-8 byte-order mark.
std::size_t ConfigTextStart(const std::string& bytes);
