// skirmora-sim in a Windows console, as players start it: the command line as UTF-8, UTF-8 text shown as the
// characters it encodes, the console's width, and a window that Explorer opened for the program alone titled,
// widened and kept open until the player has read it. Elsewhere it passes everything through.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

// The columns of the terminal or console window that standard error shows in; 0 when it is not one or does
// not say.
std::size_t ErrorColumns();

class ConsoleSession {
  public:
    ConsoleSession(int argc, char** argv);
    ConsoleSession(const ConsoleSession&) = delete;
    ConsoleSession& operator=(const ConsoleSession&) = delete;

    // The arguments, UTF-8, the program's name first.
    const std::vector<std::string>& Arguments() const { return arguments_; }
    // Explorer opened the console window for this program alone: a double-click, or files dropped onto it.
    bool OwnWindow() const { return ownWindow_; }
    // The columns of the console window that standard output shows in; 0 for a file or a pipe, and off
    // Windows.
    std::size_t Width() const { return width_; }

    // Waits for Enter when the console window is the program's own, then returns status.
    int Finish(int status) const;

  private:
    std::vector<std::string> arguments_;
    bool ownWindow_ = false;
    std::size_t width_ = 0;
};
