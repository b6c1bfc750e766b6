#include "sim/Simulation.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "host/Seam.h"

Simulation::Simulation(uint32_t startTick) : game(startTick), startTick_(startTick) {
    if (current_) {
        std::fputs("skirmora: only one simulation may run at a time\n", stderr);
        std::abort();
    }
    current_ = this;
}

Simulation::~Simulation() {
    Stop();
    current_ = nullptr;
}

void Simulation::Start(void (*entry)()) {
    entry_ = entry;
}

void Simulation::RunFrames(int64_t frames) {
    for (int64_t n = 0; n < frames; ++n) {
        game.BeginFrame();
        if (!fibre_.Started() && entry_) {
            fibre_.Start(entry_);
            fibre_.Resume();
        } else if (fibre_.Started() && game.ScriptDue()) {
            fibre_.Resume();
        }
    }
}

void Simulation::Stop() {
    fibre_.Stop();
}

bool Simulation::OpenLogFile(std::string& path) {
    if (logPath.empty()) return false;
    log_.close();
    errno = 0;
    log_.open(std::filesystem::u8path(logPath), std::ios::binary | std::ios::trunc);
    path = FullPath(logName.empty() ? logPath : logName);
    if (!log_.is_open() && !logError) logError = errno ? errno : EIO;
    return log_.is_open();
}

bool Simulation::AppendLog(const std::string& bytes) {
    errno = 0;
    log_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    log_.flush();
    if (!log_ && !logError) logError = errno ? errno : EIO;
    return static_cast<bool>(log_);
}
