// The check's verdict on a load, in the words both the game's log and skirmora-sim check use: the headline,
// the status, and the findings as the report prints them.
#pragma once
#include <ostream>
#include <string>

#include "config/LoadCheck.h"

// The statuses of a load, which skirmora-sim check exits with.
constexpr int CheckLoaded = 0;       // the file loads completely, every key applied
constexpr int CheckKeysIgnored = 1;  // it loads, but some keys changed nothing, a weapon or model name is not
                                     // the game's, a thrown weapon stays in the shared list, or a parse error
                                     // cut it short
constexpr int CheckLoadEnded = 2;    // the load ended early at a value of the wrong kind

int StatusOf(const CheckedLoad& checked);
// "loads completely, every key applied", "the load ended early, at line 6, column 24", ...
std::string Headline(const CheckedLoad& checked, int status);
// The findings of one kind, after a blank line and the section's title, each with its place, then the
// section's closing notes; nothing when there are none.
void WriteFindings(const CheckedLoad& checked, FindingKind kind, std::ostream& out);
// What the load means for the riot ("Nobody will be recruited: ..."), a line each, right under the headline.
void WriteConsequences(const CheckedLoad& checked, std::ostream& out);
// The consequences, then every section of findings, in the report's order.
std::string FindingsText(const CheckedLoad& checked);
