// The install check's report: the verdict with what stands in the way, what to do, what is in order, notes,
// what the game's logs say of its last start, the check's findings on a config that does not load completely,
// and the verdict again, last, where a player's eye ends.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/check/Observation.h"

struct DoctorReportData {
    std::string folder;    // as given
    std::string absolute;  // the game's folder, absolute; "" when there is none
    std::vector<Observation> seen;
    std::vector<std::string> logs;  // what the game's logs say
    std::string config;             // the check's findings on a config that does not load completely
    int32_t key = 0;                // the code of the toggle key in force; 0 for the built-in one

    int Status() const;
};

std::string WriteDoctorReport(const DoctorReportData& data);
