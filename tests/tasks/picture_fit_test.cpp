#include "tasks/picture_fit.h"

#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "Inc/Lang.h"

namespace {

struct Source {
  const char* name;
  SourcePicture picture;
};

// A film, TV, cinemascope, a phone held upright, and DVDs stored at 720
// columns for a 16:9 and a 4:3 picture.
const Source kSources[] = {
    {"16:9", {1920, 1080, 1, 1, 0}},
    {"4:3", {640, 480, 1, 1, 0}},
    {"2.39:1", {1920, 804, 1, 1, 0}},
    {"phone", {1920, 1080, 1, 1, 90}},
    {"phone turned back", {1920, 1080, 1, 1, 270}},
    {"upside down", {1280, 720, 1, 1, 180}},
    {"DVD 16:9", {720, 480, 32, 27, 0}},
    {"DVD 4:3", {720, 576, 16, 15, 0}},
};

struct Screen {
  int width;
  int height;
};
const Screen kScreens[] = {{96, 64}, {128, 96}, {128, 128}, {160, 120}, {176, 144}, {208, 120}, {208, 176}};

// The upright proportion of the source with a crop counted on the upright picture.
double SourceProportion(const SourcePicture& p, const std::array<int, 4>& crop) {
  const double aspect = double(p.aspectNum) / p.aspectDen;
  if (p.rotation % 180 == 0) return (p.width - crop[2] - crop[3]) * aspect / (p.height - crop[0] - crop[1]);
  return (p.height - crop[2] - crop[3]) / ((p.width - crop[0] - crop[1]) * aspect);
}

TEST(FitPicture, KeepsTheProportionWithinTwoPercentOrGoesAsFarAsTheLimitsAllow) {
  for (const Source& source : kSources) {
    for (const Screen& screen : kScreens) {
      SCOPED_TRACE(std::string(source.name) + " on " + std::to_string(screen.width) + "x" + std::to_string(screen.height));
      const PictureFit fit = FitPicture(source.picture, screen.width, screen.height);
      for (int i = 0; i < 4; ++i) {
        EXPECT_GE(fit.crop[i], 0);
        EXPECT_LE(fit.crop[i], 25);
        EXPECT_GE(fit.pad[i], 0);
        EXPECT_LE(fit.pad[i], 25);
      }
      // Bands on one axis only, split evenly.
      EXPECT_TRUE(fit.pad[0] + fit.pad[1] == 0 || fit.pad[2] + fit.pad[3] == 0);
      EXPECT_TRUE(fit.crop[0] + fit.crop[1] == 0 || fit.crop[2] + fit.crop[3] == 0);
      for (int i : {0, 2}) {
        EXPECT_LE(std::abs(fit.pad[i] - fit.pad[i + 1]), 1);
        EXPECT_LE(std::abs(fit.crop[i] - fit.crop[i + 1]), 1);
      }
      const double inner =
          double(screen.width - fit.pad[2] - fit.pad[3]) / (screen.height - fit.pad[0] - fit.pad[1]);
      const double shown = inner / SourceProportion(source.picture, fit.crop) - 1;
      EXPECT_NEAR(fit.stretch, shown, 1e-9);
      const bool cropped = fit.crop[0] + fit.crop[1] + fit.crop[2] + fit.crop[3] > 0;
      const bool padsFull = fit.pad[0] + fit.pad[1] == 50 || fit.pad[2] + fit.pad[3] == 50;
      if (cropped) {
        EXPECT_TRUE(padsFull) << "a crop only where the pads cannot reach";
      }
      if (std::abs(shown) > 0.02) {
        EXPECT_TRUE(padsFull);
        EXPECT_TRUE(fit.crop[0] + fit.crop[1] == 50 || fit.crop[2] + fit.crop[3] == 50);
      }
    }
  }
}

TEST(FitPicture, GivesTheExpectedBandsForTypicalCases) {
  struct Case {
    const char* name;
    SourcePicture source;
    int width, height;
    std::array<int, 4> crop, pad;
  };
  const Case cases[] = {
      {"film letterboxed", {1920, 1080, 1, 1, 0}, 160, 120, {0, 0, 0, 0}, {15, 15, 0, 0}},
      {"TV as it is", {640, 480, 1, 1, 0}, 160, 120, {0, 0, 0, 0}, {0, 0, 0, 0}},
      {"TV pillarboxed", {640, 480, 1, 1, 0}, 208, 120, {0, 0, 0, 0}, {0, 0, 24, 24}},
      {"anamorphic DVD", {720, 480, 32, 27, 0}, 160, 120, {0, 0, 0, 0}, {15, 15, 0, 0}},
      {"cinemascope cropped at the sides", {1920, 804, 1, 1, 0}, 160, 120, {0, 0, 25, 25}, {25, 25, 0, 0}},
      // A phone's upright picture is too tall: cut at its top and bottom as shown.
      {"phone", {1920, 1080, 1, 1, 90}, 160, 120, {25, 25, 0, 0}, {0, 0, 25, 25}},
      {"phone turned back", {1920, 1080, 1, 1, 270}, 160, 120, {25, 25, 0, 0}, {0, 0, 25, 25}},
      {"square source on a square screen", {500, 500, 1, 1, 0}, 128, 128, {0, 0, 0, 0}, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const PictureFit fit = FitPicture(c.source, c.width, c.height);
    EXPECT_EQ(fit.crop, c.crop);
    EXPECT_EQ(fit.pad, c.pad);
  }
}

TEST(FitPicture, TellsHowMuchThePhonePictureStaysStretched) {
  // 110x120 shown for a 1080x1870 picture.
  const PictureFit fit = FitPicture({1920, 1080, 1, 1, 90}, 160, 120);
  EXPECT_NEAR(fit.stretch, (110.0 / 120) / (1080.0 / 1870) - 1, 1e-9);
  EXPECT_GT(fit.stretch, 0.5);
}

TEST(FitPicture, LeavesEverythingAtZeroForAnUnknownSource) {
  for (const SourcePicture& source : {SourcePicture{0, 480}, SourcePicture{640, 0}, SourcePicture{640, 480, 0, 1}}) {
    const PictureFit fit = FitPicture(source, 160, 120);
    EXPECT_EQ(fit.crop, (std::array<int, 4>{}));
    EXPECT_EQ(fit.pad, (std::array<int, 4>{}));
    EXPECT_EQ(fit.stretch, 0);
  }
}

}  // namespace

namespace {

TEST(FitNote, SaysWhetherAndHowMuchThePictureStaysStretched) {
  LoadStringTable("");
  const std::pair<double, const char*> cases[] = {
      {0, "Fit keeps the source's proportions."},
      {0.019, "Fit keeps the source's proportions."},
      {-0.02, "Fit keeps the source's proportions."},
      {0.587, "The picture is still 59% too wide: crop and pad cannot go beyond 25 pixels."},
      {-0.19, "The picture is still 19% too narrow: crop and pad cannot go beyond 25 pixels."},
  };
  for (const auto& [stretch, note] : cases) EXPECT_EQ(FitNote(stretch), note) << stretch;
}

}  // namespace
