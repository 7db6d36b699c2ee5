// Which header rates count as damaged, and what the pictures are timed at then.

#include "encoder/picture_clock.h"

#include <gtest/gtest.h>

namespace {

TEST(PictureClock, MendsOnlyImplausibleRatesFromTheBestEvidence) {
  struct Case {
    const char* name;
    PictureClockEvidence evidence;
    double pictureSeconds;  // what one picture lasts after the correction
  };
  const Case cases[] = {
      {"a film's rate stays", {0.04, 75, 3, 0.5}, 0.04},
      {"a slide show's minute stays", {60, 3, 180, 0}, 60},
      {"an unknown rate stays unknown", {0, 75, 3, 0.04}, 0},
      {"days per picture: timed by the sound", {4026531.88, 75, 3, 0.1}, 0.04},
      {"billions a second: timed by the sound", {1.0 / 2147483647, 75, 3, 0.1}, 0.04},
      {"no sound: the codec's own rate", {40000, 75, 0, 1.0 / 30}, 1.0 / 30},
      {"sound too short to time the pictures: the codec's rate", {40000, 75000, 3, 0.02}, 0.02},
      {"nothing known: the usual rate", {40000, 0, 3, 0}, 0.04},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NEAR(c.evidence.headerPictureSeconds * PictureClockCorrection(c.evidence), c.pictureSeconds, 1e-9);
  }
}

}  // namespace
