#pragma once

#include <ctime>

#include "Inc/CrashReport.h"

// Local time for a signal handler. localtime_r may take locks and read zone
// files, so the zone's UTC offsets are worked out beforehand: the offset at
// `from` and every change of it (daylight saving) in the two years after.
// Later than that the last known offset holds.
void PrepareCrashClock(std::time_t from);

// The local date and time of a UTC instant; async-signal-safe.
LocalDateTime CrashClockLocalTime(std::time_t utc);
