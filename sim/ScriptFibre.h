// Runs the script's entry on a fibre, as the hook does: its own stack, entered from the frame loop and left
// at every scriptWait, one stack switch each way and no thread. Stopping resumes it one last time and unwinds
// it from inside scriptWait, so its locals are destroyed although the entry never returns. Linux uses
// Boost.Context (ScriptFibreBoost.cpp), Windows the system's fibres (ScriptFibreWindows.cpp).
#pragma once
#include <exception>
#include <memory>
#include <utility>

// Thrown from inside scriptWait to unwind a stopping script; nothing else catches it.
struct FibreStop {};

class ScriptFibre {
  public:
    ScriptFibre();
    ~ScriptFibre();
    ScriptFibre(const ScriptFibre&) = delete;
    ScriptFibre& operator=(const ScriptFibre&) = delete;

    void Start(void (*entry)());
    bool Started() const { return started_; }
    // Frame loop: runs the script until it waits again (or ends). Rethrows what escaped the entry.
    void Resume();
    // Script: hands the turn back; throws FibreStop to unwind when stopping.
    void Yield();
    void Stop();

  private:
    struct Context;                        // the platform's fibre and the frame loop's context
    static void Body(ScriptFibre& fibre);  // what runs on the fibre's stack
    void Create();                         // the platform's fibre, at a Start
    void Release();                        // what Create made, once a Stop has let the fibre end
    // After the switch of a Resume, what escaped the entry is rethrown; after a Yield's, a stopping script
    // unwinds. Each platform's file switches in Resume and Yield themselves: a turn through one more call
    // costs the simulator's idle frame a fifth of its time.
    void AfterResume() {
        if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    }
    void AfterYield() const {
        if (stopping_) throw FibreStop{};
    }

    std::unique_ptr<Context> context_;
    void (*entry_)() = nullptr;
    bool started_ = false;
    bool stopping_ = false;
    bool finished_ = false;
    std::exception_ptr failure_;
};

// The fibre's stack: as much as a thread's, so a config nested as deeply as the JSON reader allows fits.
constexpr unsigned long ScriptStackBytes = 8ul << 20;
