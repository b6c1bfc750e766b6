// Text tools the simulator's commands share: text wrapped for a console window, a line fit for a terminal, a
// name quoted for a shell, and (config/Words.h) text made safe for a terminal and which known word a misspelt
// one most likely meant.
#pragma once
#include <cstddef>
#include <string>

#include "config/Words.h"

// Every line longer than width characters broken at blanks, each further piece indented two more than the
// line it comes from; a word longer than a line is cut. Width 0 leaves the text as it is.
std::string WrapLines(const std::string& text, std::size_t width);

// Text for one line of a terminal: as Printable, and a line end shown as \x0A too (a file name may hold one).
std::string OneLine(const std::string& text);

// A file name as a command line takes it, in a POSIX shell, cmd and PowerShell alike: as it is when it is
// plain, else in double quotes, or in single quotes when it holds what double quotes leave to the shell.
std::string ShellQuoted(const std::string& name);
