// Runs the script's entry as a fibre on Linux: a thread that runs only while the frame loop has handed it
// the turn, and hands it back at every scriptWait. Stopping resumes it one last time and unwinds it from
// inside scriptWait, so its locals are destroyed although the entry never returns.
#pragma once
#include <condition_variable>
#include <mutex>
#include <thread>

class ScriptFibre {
  public:
    ~ScriptFibre() { Stop(); }

    void Start(void (*entry)());
    bool Started() const { return thread_.joinable(); }
    void Resume();  // frame loop: run the script until it waits again (or ends)
    void Yield();   // script: hand the turn back; throws to unwind when stopping
    void Stop();

  private:
    void HandOver(bool toScript);

    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable turnChanged_;
    bool scriptTurn_ = false;
    bool stopping_ = false;
    bool finished_ = false;
};

// Thrown from inside scriptWait to unwind a stopping script; nothing else catches it.
struct FibreStop {};
