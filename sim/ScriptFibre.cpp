// What runs on the script's fibre, on every platform. Each platform's fibre is in a file of its own
// (ScriptFibreBoost.cpp, ScriptFibreWindows.cpp), which CMake chooses.
#include "sim/ScriptFibre.h"

void ScriptFibre::Start(void (*entry)()) {
    entry_ = entry;
    started_ = true;
    stopping_ = finished_ = false;
    Create();
}

void ScriptFibre::Stop() {
    if (!started_) return;
    stopping_ = true;
    Resume();  // the fibre unwinds and ends
    Release();
    started_ = false;
}

void ScriptFibre::Body(ScriptFibre& fibre) {
    if (!fibre.stopping_) {
        try {
            fibre.entry_();
        } catch (const FibreStop&) {
        } catch (...) {
            fibre.failure_ = std::current_exception();  // rethrown on the frame loop's stack
        }
    }
    fibre.finished_ = true;
}
