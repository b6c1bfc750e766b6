#include "app/CommandError.h"

#include <system_error>

#include "app/TextTools.h"

std::string SystemError(int code) {
    return std::generic_category().message(code);
}

int Tell(std::ostream& err, int status, const std::string& message) {
    err << OneLine("skirmora-sim: " + message) << "\n" << std::flush;  // a name may hold a line end
    return status;
}
