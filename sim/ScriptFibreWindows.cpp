// The script's fibre on Windows: the system's fibres. The frame loop's thread becomes a fibre itself (unless
// it is one already).
#include <windows.h>
#undef Yield  // a do-nothing macro of 16-bit Windows

#include <stdexcept>

#include "sim/ScriptFibre.h"

struct ScriptFibre::Context {
    void* script = nullptr;
    void* host = nullptr;
    bool converted = false;  // this made the thread a fibre, and turns it back
};

ScriptFibre::ScriptFibre() : context_(std::make_unique<Context>()) {}

ScriptFibre::~ScriptFibre() {
    Stop();
}

void ScriptFibre::Create() {
    Context& c = *context_;
    if (IsThreadAFiber()) {
        // MinGW's GetCurrentFiber reads the thread block through gs:, which GCC takes for a null array.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
        c.host = GetCurrentFiber();
#pragma GCC diagnostic pop
    } else {
        c.host = ConvertThreadToFiber(nullptr);
        c.converted = true;
    }
    c.script = CreateFiberEx(
        64 << 10, ScriptStackBytes, 0,
        [](void* fibre) {
            Body(*static_cast<ScriptFibre*>(fibre));
            for (;;)
                SwitchToFiber(static_cast<ScriptFibre*>(fibre)->context_->host);
        },
        this);
    if (!c.script) throw std::runtime_error("cannot create the script's fibre");
}

void ScriptFibre::Resume() {
    if (!started_ || finished_) return;
    SwitchToFiber(context_->script);
    AfterResume();
}

void ScriptFibre::Yield() {
    SwitchToFiber(context_->host);
    AfterYield();
}

void ScriptFibre::Release() {
    Context& c = *context_;
    DeleteFiber(c.script);
    c.script = nullptr;
    if (c.converted) ConvertFiberToThread();
    c.converted = false;
}
