// The host layer's state: the tick's extension and the hold on the frames. The top owns it and binds it here
// (script/ScriptState.h); a test of this layer alone binds one of its own.
#pragma once
#include "host/Frames.h"
#include "host/Ticks.h"

struct HostState {
    TickRecord Ticks;
    FrameRecord Frames;
};

// The state the owner bound last (until then, one of the layer's own).
HostState& Host();
void BindHostState(HostState& state);
