#include "app/Check.h"

int CheckConfigFile(const std::string& path, std::ostream&, std::ostream& err) {
    err << "skirmora-sim: check is not built yet (" << path << ")\n";
    return CheckCannotRun;
}
