#pragma once
#include <cstdint>
#include <utility>
#include <vector>

// Which keys are down in which frames. The frames of the queries only go forward.
struct Keyboard {
    struct Hold {
        int32_t key;
        int64_t firstFrame;
        int64_t endFrame;  // first frame in which the key is up again
    };
    std::vector<Hold> holds;
    std::vector<std::pair<int32_t, int64_t>> lastQueryFrame;  // by key; the script asks of one or two keys

    void Press(int32_t key, int64_t firstFrame, int64_t frames = 1) {
        holds.push_back({key, firstFrame, firstFrame + frames});
    }
    bool Down(int32_t key, int64_t frame) const;
    // GetAsyncKeyState: bit 15 while down, bit 0 when a press began since the previous query of the key.
    int16_t Query(int32_t key, int64_t frame);
};
