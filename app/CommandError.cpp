#include "app/CommandError.h"

#include <system_error>

#include "config/Words.h"

std::string SystemError(int code) {
    return std::generic_category().message(code);
}

int Tell(std::ostream& err, int status, const std::string& message) {
    err << Printable("skirmora-sim: " + message + "\n") << std::flush;
    return status;
}
