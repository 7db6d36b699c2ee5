// The rules that let the decoder do less: whether the output size hides the
// in-loop filter, and which pictures the frame rate is sure to drop.

#include <gtest/gtest.h>

#include "encoder/decode_shortcuts.h"
#include "encoder/frame_rate.h"

namespace {

EncoderOptions Output(int width, int height, Bands crop = {}, Bands pad = {}) {
  EncoderOptions options;
  options.width = width;
  options.height = height;
  options.crop = crop;
  options.pad = pad;
  return options;
}

TEST(FastDecoding, IsChosenWhenTheShownPictureShrinksToHalfOrLess) {
  const struct {
    const char* name;
    int sourceWidth, sourceHeight;
    int quarterTurns;
    EncoderOptions output;
    bool expected;
  } cases[] = {
      {"close to the source size", 320, 240, 0, Output(208, 176), false},
      {"exactly half", 320, 240, 0, Output(160, 120), true},
      {"half across only", 640, 200, 0, Output(176, 144), false},
      {"less than half", 640, 360, 0, Output(176, 144), true},
      {"far less", 1920, 1080, 0, Output(176, 144), true},
      {"cropping brings it above half", 320, 240, 0, Output(160, 120, {1, 0, 0, 0}), false},
      {"cropping across counts too", 320, 240, 0, Output(160, 120, {0, 0, 0, 1}), false},
      {"pads shrink the inner area", 340, 240, 0, Output(176, 120, {}, {0, 0, 3, 3}), true},
      {"pads above and below", 640, 236, 0, Output(176, 144, {}, {13, 13, 0, 0}), true},
      {"turned upright, height fills the width", 640, 300, 1, Output(176, 144), false},
      {"turned upright, half both ways", 640, 360, 3, Output(176, 144), true},
      {"turned over, as it was", 640, 300, 2, Output(176, 144), true},
      {"unknown source size", 0, 0, 0, Output(96, 64), false},
      {"cropped to nothing", 40, 40, 0, Output(96, 64, {20, 20, 0, 0}), false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ShrinksToHalfOrLess(c.sourceWidth, c.sourceHeight, c.quarterTurns, c.output), c.expected) << c.name;
}

TEST(FastDecoding, PicturesAreHalvedWhileDecodingOnlyWhereTheRestStillShrinksEnough) {
  const struct {
    const char* name;
    int sourceWidth, sourceHeight;
    EncoderOptions output;
    int most;
    double spareShrink;
    int expected;
  } cases[] = {
      {"a quarter both ways, twice", 640, 480, Output(160, 120), 2, 1, 2},
      {"a quarter across only", 640, 600, Output(160, 176), 2, 1, 1},
      {"no more than allowed", 1920, 1080, Output(160, 120), 1, 2, 1},
      {"must still shrink 2x after", 640, 480, Output(176, 144), 1, 2, 0},
      {"must still shrink 1.5x after", 720, 576, Output(208, 176), 1, 1.5, 1},
      {"not quite 1.5x after", 720, 480, Output(208, 176), 1, 1.5, 0},
      {"crop bands stay whole pixels", 640, 480, Output(160, 120, {2, 2, 0, 1}), 2, 1, 0},
      {"crop bands even but not by four", 640, 480, Output(160, 120, {2, 2, 0, 0}), 2, 1, 1},
      {"unknown source size", 0, 0, Output(96, 64), 2, 1, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(HalvingSteps(c.sourceWidth, c.sourceHeight, 0, c.output, c.most, c.spareShrink), c.expected) << c.name;
}

TEST(FastDecoding, SourcesUpTo720pGetOneDecoderThreadAndLargerOnesUpToOneMoreThanTheCores) {
  const struct {
    int width, height, cores;
    int expected;
  } cases[] = {
      {320, 240, 2, 1},   {640, 480, 8, 1},   {1280, 720, 8, 1}, {1280, 721, 8, 4}, {1280, 721, 2, 3},
      {1920, 1080, 8, 7}, {3840, 2160, 8, 9}, {0, 0, 2, 3},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DecoderThreads(c.width, c.height, c.cores), c.expected)
        << c.width << "x" << c.height << " on " << c.cores;
}

TEST(FrameRateConverter, OnlyPicturesBetweenTwoOutputFramesAreSurelyDropped) {
  FrameRateConverter rate(10);
  EXPECT_FALSE(rate.SurelyDropped(0.16, 0.19)) << "before the first picture the frames' times are open";

  rate.Arrive(1.0);  // output frames at 1.0, 1.1, 1.2 ... s, each showing the picture shown 50 ms after it
  const struct {
    double start, end;
    bool dropped;
  } cases[] = {
      {1.0, 1.0333, true},       // followed before the switch at 1.05, even the first picture is dropped
      {1.0333, 1.0667, false},   // holds the switch to frame 1.1
      {1.0667, 1.1, true},       // ends where the next picture takes over
      {1.06, 1.14, true},        // between two switches
      {1.051, 1.08, false},      // too close to a switch to be sure
      {1.12, 1.149, false},      // the same on the other side
      {1.0, 0.99, false},        // no length
      {0.9, 0.94, true},         // behind the first picture, as out-of-order time stamps are
      {13.5167, 13.5333, true},  // far on, in step still
      {13.54, 13.56, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(rate.SurelyDropped(c.start, c.end), c.dropped) << c.start << " to " << c.end;
}

TEST(FastDecoding, APictureShowsUntilTheNextOneAsFullDecodingTimesIt) {
  const std::optional<int64_t> none;
  const struct {
    const char* name;
    int64_t start;
    std::vector<int64_t> earlierPts;
    std::vector<PacketStamps> later;
    std::optional<int64_t> expected;
  } cases[] = {
      // Presentation stamps: I0 P3 B1 B2 P6, stamped in frames, decoding one frame behind.
      {"next B read after it", 1, {0, 3}, {{2, 1}, {6, 2}}, 2},
      {"reference read before it", 2, {0, 3, 1}, {{6, 2}, {4, 3}}, 3},
      {"a later picture may still come between", 1, {0, 3}, {{2, none}}, none},
      {"nothing read after it", 2, {0, 3, 1}, {}, none},
      {"a picture stamped alike is no end", 3, {3}, {{4, 4}}, 4},
      // B pyramid: I0 P8 B4 b2 b1 b3, decoding two frames behind.
      {"pyramid, decoded far enough", 1, {0, 8, 4, 2}, {{3, -1}, {6, 0}, {5, 1}, {7, 2}}, 2},
      {"pyramid, not yet", 1, {0, 8, 4, 2}, {{3, -1}, {6, 0}, {5, 1}}, none},
      // AVI keeps decoding order: 2 ticks a frame, B stamps guessed from decoding, none on references.
      {"AVI, next is a B", 4, {}, {{6, 6}}, 6},
      {"AVI, next is a reference", 6, {4}, {{none, 8}, {10, 10}}, 8},
  };
  for (const auto& c : cases) EXPECT_EQ(ShownUntil(c.start, c.earlierPts, c.later), c.expected) << c.name;
}

TEST(FastDecoding, FieldPicturesAreToldFromFramePictures) {
  // A picture start, then a picture coding extension whose last two bits of its third byte give the structure.
  const auto packet = [](uint8_t structureByte) {
    return std::vector<uint8_t>{
        0, 0, 1, 0, 0x12, 0x34, 0, 0, 1, 0xB5, 0x8F, 0xFF, static_cast<uint8_t>(structureByte), 0x80};
  };
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    bool field;
  } cases[] = {
      {"frame picture", packet(0xF3), false},
      {"top field", packet(0xF1), true},
      {"bottom field", packet(0x52), true},
      {"another extension", {0, 0, 1, 0xB5, 0x1F, 0xFF, 0xF1}, false},
      {"no extension (MPEG-1)", {0, 0, 1, 0, 0x12, 0x34, 0xF1}, false},
      {"cut short before the structure", {0, 0, 1, 0xB5, 0x8F, 0xFF}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(HoldsFieldPicture(c.bytes.data(), c.bytes.size()), c.field) << c.name;
}

}  // namespace
