#include "sim/ScriptFibre.h"

void ScriptFibre::Start(void (*entry)()) {
    thread_ = std::thread([this, entry] {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            turnChanged_.wait(lock, [this] { return scriptTurn_; });
        }
        if (!stopping_) {
            try {
                entry();
            } catch (const FibreStop&) {
            }
        }
        std::lock_guard<std::mutex> lock(mutex_);
        finished_ = true;
        scriptTurn_ = false;
        turnChanged_.notify_all();
    });
}

void ScriptFibre::HandOver(bool toScript) {
    std::unique_lock<std::mutex> lock(mutex_);
    scriptTurn_ = toScript;
    turnChanged_.notify_all();
    turnChanged_.wait(lock, [this, toScript] { return scriptTurn_ != toScript || (toScript && finished_); });
}

void ScriptFibre::Resume() {
    if (!thread_.joinable() || finished_) return;
    HandOver(true);
}

void ScriptFibre::Yield() {
    HandOver(false);
    if (stopping_) throw FibreStop{};
}

void ScriptFibre::Stop() {
    if (!thread_.joinable()) return;
    stopping_ = true;
    Resume();
    thread_.join();
}
