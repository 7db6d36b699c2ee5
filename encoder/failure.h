#pragma once

#include <optional>
#include <string>

// The outcome of a step: nothing when it succeeded, otherwise the one line
// that tells the user what went wrong.
using Failure = std::optional<std::string>;
