#pragma once

#include <string>

// Why the part of a source that From and To name cannot be converted, in the
// user's words; empty when it can. Empty texts take the source from its start
// or to its end. A duration below 0 is one the file does not tell; then only
// the texts and their order are checked, as the encoder checks them.
std::string PartProblem(const std::string& from, const std::string& to, double durationSeconds);
