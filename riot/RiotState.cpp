#include "riot/RiotState.h"

// The layer's state while no owner has bound one (the layer used on its own), and the binding, which the
// owner sets whenever it builds its state afresh.
RiotState UnboundRiotState;
RiotState* BoundRiotState = &UnboundRiotState;

RiotState& Riot() {
    return *BoundRiotState;
}

void BindRiotState(RiotState& state) {
    BoundRiotState = &state;
}
