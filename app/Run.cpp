#include "app/Run.h"

int RunRiot(const RunOptions&, std::ostream&, std::ostream& err) {
    err << "skirmora-sim: run is not built yet\n";
    return RunFailed;
}
