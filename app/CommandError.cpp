#include "app/CommandError.h"

#include "config/Words.h"

int Tell(std::ostream& err, int status, const std::string& message) {
    err << Printable("skirmora-sim: " + message + "\n") << std::flush;
    return status;
}
