#include "host/HostState.h"

// The layer's state while no owner has bound one (the layer used on its own), and the binding, which the
// owner sets whenever it builds its state afresh.
HostState UnboundHostState;
HostState* BoundHostState = &UnboundHostState;

HostState& Host() {
    return *BoundHostState;
}

void BindHostState(HostState& state) {
    BoundHostState = &state;
}
