#pragma once

#include <optional>
#include <string>

// Reads a moment of a film: plain seconds ("75.5") or minutes and seconds
// ("1:15.5") or hours, minutes and seconds ("0:01:15.5"), as a user types it.
// Minutes and seconds after a colon stay below 60. Nothing for anything else,
// a negative moment included.
std::optional<double> ReadMoment(const std::string& text);
