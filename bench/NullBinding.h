// The platform seam bound to a hook that does nothing: the script bound to it costs only its own work.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace benchmark {
class State;
}

namespace NullBinding {
// Each native answers these result slots: 1 reads as true, as a handle, and as a tiny equal position for all.
extern uint64_t Result[4];
extern int64_t Calls;
extern uint32_t Tick;
// Key-down answers for the key queries, in order; every later query answers up.
extern std::vector<bool> KeyScript;
extern size_t KeyQueries;
// While set, each scriptWait is one benchmark iteration; when the benchmark is done it unwinds the script.
extern benchmark::State* LoopState;
struct LoopDone {};
// The script's log goes to this file; none when empty.
extern std::string LogPath;
extern std::FILE* LogFile;
}  // namespace NullBinding
