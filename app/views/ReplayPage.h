// The replay page's sources (app/replay/), built into the program so the page needs no other file.
#pragma once
#include <string>
#include <string_view>

// "replay.html", "replay.css" or "replay.js", as in app/replay/; throws std::logic_error for another name.
std::string ReplayPageSource(std::string_view name);
