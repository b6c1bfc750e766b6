// skirmora-sim in a Windows console, as players start it: UTF-8 text shown as the characters it encodes, the
// command line as UTF-8, a double-click or a file dropped onto the program turned into a check, and the
// window that Explorer opened kept until the player has read it. Elsewhere it passes everything through.
#pragma once
#include <ostream>
#include <string>
#include <vector>

class ConsoleSession {
  public:
    ConsoleSession(int argc, char** argv);
    ConsoleSession(const ConsoleSession&) = delete;
    ConsoleSession& operator=(const ConsoleSession&) = delete;

    // The arguments to parse, UTF-8, the program's name first.
    int Argc() const { return static_cast<int>(pointers_.size()); }
    char** Argv() { return pointers_.data(); }

    // Started from Explorer with no config where it looked: says where it looked and how to use the program
    // on out, and returns true.
    bool ExplainNothingToCheck(std::ostream& out) const;

    // Waits for Enter when the console window is the program's own (Explorer opened it), then returns status.
    int Finish(int status) const;

  private:
    std::vector<std::string> arguments_;
    std::vector<char*> pointers_;
    std::string lookedIn_;  // the folder searched for the config when Explorer started the program
    bool configMissing_ = false;
    bool ownWindow_ = false;
};
