#include "Inc/CrashClock.h"

#include <cstdint>
#include <limits>

#include "Inc/ErrorHandler.h"

namespace {

struct OffsetChange {
  std::time_t since;  // UTC instant from which the offset applies
  long offsetSeconds;
};

constexpr int kMaxChanges = 32;
constexpr std::time_t kDaySeconds = 86400;
constexpr int kHorizonDays = 2 * 366;

// Process-wide: read by the crash handler, which may not call localtime.
OffsetChange changes[kMaxChanges];
int changeCount = 0;

long OffsetAt(std::time_t utc) {
  std::tm local{};
  return localtime_r(&utc, &local) != nullptr ? local.tm_gmtoff : 0;
}

// The first second in (before, after] whose offset is not `offset`, the one at `before`.
std::time_t FindChange(std::time_t before, std::time_t after, long offset) {
  while (after - before > 1) {
    const std::time_t middle = before + (after - before) / 2;
    (OffsetAt(middle) == offset ? before : after) = middle;
  }
  return after;
}

void AddChange(std::time_t since, long offsetSeconds) {
  if (changeCount < kMaxChanges) changes[changeCount++] = {since, offsetSeconds};
}

int64_t FloorDivide(int64_t value, int64_t divisor) {
  const int64_t quotient = value / divisor;
  return (value % divisor != 0 && (value < 0) != (divisor < 0)) ? quotient - 1 : quotient;
}

// Civil date of a day count since 1970-01-01 (proleptic Gregorian calendar).
void CivilFromDays(int64_t days, LocalDateTime& out) {
  days += 719468;
  const int64_t era = FloorDivide(days, 146097);
  const int64_t dayOfEra = days - era * 146097;
  const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
  out.day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  out.month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  out.year = static_cast<int>(yearOfEra + era * 400 + (out.month <= 2 ? 1 : 0));
}

}  // namespace

void PrepareCrashClock(std::time_t from) {
  CHECKPOINT();
  changeCount = 0;
  long offset = OffsetAt(from);
  AddChange(std::numeric_limits<std::time_t>::min(), offset);
  std::time_t day = from;
  for (int step = 1; step <= kHorizonDays; ++step) {
    const std::time_t next = from + step * kDaySeconds;
    const long nextOffset = OffsetAt(next);
    if (nextOffset != offset) {
      const std::time_t since = FindChange(day, next, offset);
      AddChange(since, OffsetAt(since));
      offset = nextOffset;
    }
    day = next;
  }
}

LocalDateTime CrashClockLocalTime(std::time_t utc) {
  long offset = 0;
  for (int i = 0; i < changeCount && changes[i].since <= utc; ++i) offset = changes[i].offsetSeconds;
  const int64_t local = static_cast<int64_t>(utc) + offset;
  const int64_t secondOfDay = local - FloorDivide(local, kDaySeconds) * kDaySeconds;
  LocalDateTime result;
  CivilFromDays(FloorDivide(local, kDaySeconds), result);
  result.hour = static_cast<int>(secondOfDay / 3600);
  result.minute = static_cast<int>(secondOfDay / 60 % 60);
  result.second = static_cast<int>(secondOfDay % 60);
  return result;
}
