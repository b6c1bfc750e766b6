// The reports of the check and the install check as a player reads them: straight through to files and pipes,
// and off Windows; in a Windows console wrapped at word boundaries to its width; in a window of the program's
// own (a double-click, a drop) without exit statuses, each report's verdict again last, before "Press Enter".
#pragma once
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/Console.h"

class PlayerOutput {
  public:
    explicit PlayerOutput(const ConsoleSession& console) : console_(console) {}

    std::ostream& Out() { return console_.Width() ? text_ : std::cout; }
    std::ostream& Err() { return console_.Width() ? text_ : std::cerr; }  // in order with the reports

    // Starts a report whose first line is its verdict; repeat: the report does not end with it.
    void Begin(bool repeat);
    // A line that the report's verdict holds too.
    void Note(const std::string& line);
    // Shows what was written, and returns status.
    int Show(int status);

  private:
    struct Report {
        std::size_t start;
        bool repeat;
        std::string note;
    };
    const ConsoleSession& console_;
    std::ostringstream text_;
    std::vector<Report> reports_;
};
