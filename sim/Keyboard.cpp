#include "sim/Keyboard.h"

#include <algorithm>

bool Keyboard::Down(int32_t key, int64_t frame) const {
    for (const Hold& hold : holds)
        if (hold.key == key && frame >= hold.firstFrame && frame < hold.endFrame) return true;
    return false;
}

int16_t Keyboard::Query(int32_t key, int64_t frame) {
    auto last = std::find_if(lastQueryFrame.begin(), lastQueryFrame.end(),
                             [key](const std::pair<int32_t, int64_t>& entry) { return entry.first == key; });
    if (last == lastQueryFrame.end()) last = lastQueryFrame.insert(last, {key, -1});
    const int64_t since = last->second;
    bool pressedSince = false;
    for (const Hold& hold : holds)
        if (hold.key == key && hold.firstFrame > since && hold.firstFrame <= frame) pressedSince = true;
    last->second = frame;
    uint16_t state = 0;
    if (Down(key, frame)) state |= 0x8000u;
    if (pressedSince) state |= 0x0001u;
    // Frames only go forward: a hold of this key that is over by this frame has been reported and can never
    // show again.
    holds.erase(std::remove_if(holds.begin(), holds.end(),
                               [&](const Hold& hold) { return hold.key == key && hold.endFrame <= frame; }),
                holds.end());
    return static_cast<int16_t>(state);
}
