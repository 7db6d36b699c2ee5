#include "convert/preview_request.h"

#include <gtest/gtest.h>

#include "convert/encoder_arguments.h"

namespace {

TEST(PreviewArgumentVector, IsTheConversionLineWithTheMomentInFrontAndThePictureLast) {
  Task task;
  task.InputFile = "/films/a film.mkv";
  task.OutputFile = "/films/a film.amv";
  task.Resolution = 3;
  task.CropLeft = 7;
  task.PadTop = 15;
  std::vector<std::string> expected = EncoderArgumentVector(task);
  expected.back() = "/tmp/p 1.ppm";
  expected.insert(expected.begin(), {"-preview", "12.350"});
  EXPECT_EQ(PreviewArgumentVector(task, 12.35, "/tmp/p 1.ppm"), expected);
  EXPECT_EQ(PreviewArgumentVector(task, 0, "x.ppm")[1], "0.000");
}

TEST(TaskScreenSize, FollowsTheResolutionList) {
  const std::pair<int, ScreenSize> cases[] = {{0, {96, 64}}, {3, {160, 120}}, {7, {208, 120}}, {9, {208, 176}}};
  for (const auto& [index, size] : cases) {
    Task task;
    task.Resolution = static_cast<int8_t>(index);
    const ScreenSize got = TaskScreenSize(task);
    EXPECT_EQ(got.width, size.width) << index;
    EXPECT_EQ(got.height, size.height) << index;
  }
}

TEST(ParsePreviewSourceLine, ReadsTheEncodersDescriptionAndNothingElse) {
  const auto film = ParsePreviewSourceLine("Preview source: 720x480, aspect 32:27, rotation 90, duration 12.500");
  ASSERT_TRUE(film);
  EXPECT_EQ(film->picture.width, 720);
  EXPECT_EQ(film->picture.height, 480);
  EXPECT_EQ(film->picture.aspectNum, 32);
  EXPECT_EQ(film->picture.aspectDen, 27);
  EXPECT_EQ(film->picture.rotation, 90);
  EXPECT_DOUBLE_EQ(film->durationSeconds, 12.5);
  const auto endless = ParsePreviewSourceLine("Preview source: 320x240, aspect 1:1, rotation 0, duration -1.000");
  ASSERT_TRUE(endless);
  EXPECT_DOUBLE_EQ(endless->durationSeconds, -1);
  for (const char* other : {"", "Input #0, mov, from 'x':", "Preview source: 320x240, aspect 1:1, rotation 0",
                            "Preview source: 320x240, aspect 1:1, rotation 0, duration 2.5 s",
                            "Preview source: wide, aspect 1:1, rotation 0, duration 2"})
    EXPECT_FALSE(ParsePreviewSourceLine(other)) << other;
}

}  // namespace
