// The simulated game as the script's platform sees it: the clock, the keyboard, the hook's native-call
// protocol and wait bookkeeping, the world and the trace. Portable: the Linux simulator and the Windows
// test host both drive the script through it.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/NativeCatalogue.h"
#include "sim/Dispatch.h"
#include "sim/Keyboard.h"
#include "sim/Trace.h"
#include "sim/World.h"

class Game {
  public:
    World world;
    Keyboard keyboard;
    Trace trace;
    std::vector<std::string> errors;  // protocol faults: unknown hash, bad slot, wrong argument count

    // Called at the start of every frame, before the script runs in it.
    std::vector<std::function<void(Game&)>> onFrame;

    uint32_t frameMs = 16;

    explicit Game(uint32_t startTick = 0) : tick_(startTick) {}

    int64_t Frame() const { return frame_; }
    int64_t NativeCalls() const { return nativeCalls_; }
    // Completed calls of one native by catalogue name, counted whether or not the trace is on.
    int64_t CallsOf(const char* name) const;
    void CountCall(int index) { ++callCounts_[index]; }
    uint32_t Tick() const { return tick_; }
    void SetTick(uint32_t tick) { tick_ = tick; }

    // Moves to the next frame (the first call starts frame 0 at the start tick) and runs the frame hooks.
    void BeginFrame();
    // Whether the script is to be resumed in the current frame.
    bool ScriptDue() const;

    // The hook's services and the platform queries, as the script calls them. The native-call protocol is
    // inline, checks and all: the script makes thousands of calls a second of game time.
    void Register(void (*entry)());
    void (*RegisteredEntry() const)() { return entry_; }
    void Wait(uint32_t milliseconds);
    void NativeInit(uint64_t hash) {
        if (callOpen_) ProtocolFault("nativeInit while another native call is open");
        callOpen_ = true;
        hash_ = hash;
        argCount_ = 0;
        pushedBits_ = 0;
    }
    void NativePush(uint64_t value) {
        if (!callOpen_) return ProtocolFault("nativePush64 without nativeInit");
        if (argCount_ == 16) return ProtocolFault("more than 16 arguments pushed");
        args_[argCount_++] = value;
        pushedBits_ |= value;
    }
    uint64_t* NativeCall() {
        result_[0] = result_[1] = result_[2] = result_[3] = 0;
        if (!callOpen_) {
            ProtocolFault("nativeCall without nativeInit");
            return result_;
        }
        callOpen_ = false;
        ++nativeCalls_;
        DispatchNative(*this);
        return result_;
    }
    // The native call being made: its hash, its argument slots, their count and its result slots.
    uint64_t CallHash() const { return hash_; }
    const uint64_t* Arguments() const { return args_; }
    int ArgumentCount() const { return argCount_; }
    uint64_t PushedBits() const { return pushedBits_; }  // every argument's bits or-ed together
    uint64_t* Results() { return result_; }
    uint32_t TickQuery();
    int16_t KeyQuery(int32_t key);

    void Fail(const std::string& message);
    void Log(const std::string& event);  // adds "frame tick event" to the trace

  private:
    void ProtocolFault(const char* message);  // out of line: the calls above stay small

    int64_t frame_ = -1;
    int64_t nativeCalls_ = 0;
    int64_t callCounts_[NativeCount] = {};
    uint32_t tick_;
    void (*entry_)() = nullptr;

    bool waiting_ = false;
    int64_t waitFrame_ = 0;
    uint32_t waitTick_ = 0;
    uint32_t waitMs_ = 0;

    bool callOpen_ = false;
    uint64_t hash_ = 0;
    uint64_t args_[16] = {};
    int argCount_ = 0;
    uint64_t pushedBits_ = 0;
    uint64_t result_[4] = {};
};
