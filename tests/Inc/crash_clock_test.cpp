#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "Inc/CrashClock.h"

namespace {

// Runs a test under a time zone given as a POSIX rule, so no zone files are needed.
class CrashClockTest : public ::testing::Test {
 protected:
  void UseZone(const char* rule) {
    if (const char* current = std::getenv("TZ")) saved_ = current;
    setenv("TZ", rule, 1);
    tzset();
  }
  void TearDown() override {
    if (saved_) {
      setenv("TZ", saved_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  std::optional<std::string> saved_;
};

std::string Text(const LocalDateTime& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  return text;
}

std::string SystemText(std::time_t utc) {
  std::tm local{};
  localtime_r(&utc, &local);
  char text[64];
  std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &local);
  return text;
}

constexpr std::time_t k2026March1 = 1772323200;  // 2026-03-01 00:00:00 UTC

TEST_F(CrashClockTest, FollowsDaylightSavingChangesAheadOfTime) {
  UseZone("CET-1CEST,M3.5.0,M10.5.0/3");
  PrepareCrashClock(k2026March1);
  const std::time_t springChange = 1774746000;  // 2026-03-29 01:00:00 UTC
  EXPECT_EQ(Text(CrashClockLocalTime(springChange - 1)), "2026/03/29 01:59:59");
  EXPECT_EQ(Text(CrashClockLocalTime(springChange)), "2026/03/29 03:00:00");
  const std::time_t autumnChange = 1792890000;  // 2026-10-25 01:00:00 UTC
  EXPECT_EQ(Text(CrashClockLocalTime(autumnChange - 1)), "2026/10/25 02:59:59");
  EXPECT_EQ(Text(CrashClockLocalTime(autumnChange)), "2026/10/25 02:00:00");
}

TEST_F(CrashClockTest, AgreesWithTheSystemClockOverTheTwoPreparedYears) {
  UseZone("AEST-10AEDT,M10.1.0,M4.1.0/3");
  PrepareCrashClock(k2026March1);
  for (std::time_t t = k2026March1; t < k2026March1 + 2 * 365 * 86400; t += 7919) {
    ASSERT_EQ(Text(CrashClockLocalTime(t)), SystemText(t)) << "at " << t;
  }
}

TEST_F(CrashClockTest, CountsCalendarDaysRightBeforeAndAfter1970AndOnLeapDays) {
  UseZone("UTC0");
  PrepareCrashClock(k2026March1);
  // 2000-03-01 starts a 400-year cycle of the calendar.
  for (std::time_t t : {std::time_t{-1}, std::time_t{-86400 * 365 * 10 - 1}, std::time_t{951782400},
                        std::time_t{951868800}, std::time_t{4107542399}, std::time_t{0}}) {
    EXPECT_EQ(Text(CrashClockLocalTime(t)), SystemText(t)) << "at " << t;
  }
  EXPECT_EQ(Text(CrashClockLocalTime(951782400)), "2000/02/29 00:00:00");
}

}  // namespace
