// How the commands fail: one message after the program's name, and the exit status that goes with it.
#pragma once
#include <ostream>
#include <stdexcept>
#include <string>

class CommandError : public std::runtime_error {
  public:
    CommandError(int status, const std::string& message) : std::runtime_error(message), status_(status) {}
    int Status() const { return status_; }

  private:
    int status_;
};

// The words of an errno value: "No space left on device".
std::string SystemError(int code);

// Says "skirmora-sim: MESSAGE" on its own line on err, fit for a terminal, and gives the status back.
int Tell(std::ostream& err, int status, const std::string& message);
inline int Tell(std::ostream& err, const CommandError& error) {
    return Tell(err, error.Status(), error.what());
}
