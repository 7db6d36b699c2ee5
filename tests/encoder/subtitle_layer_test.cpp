// The subtitle layer over a grey frame: the colour it paints, the pixels it
// leaves alone, and the chroma of the last row and column of an odd size; the
// YUV of a subtitle's colours; and a DVD subtitle's palette and place.

#include "encoder/picture_subtitles.h"
#include "encoder/subtitle_layer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <tuple>
#include <vector>

namespace {

struct Box {
  int x, y, width, height;
  YuvaColour colour;
};

struct Chroma {
  int u, v;
};

// A full-range 4:2:0 frame of one luma level and no colour; null when it cannot be made.
FramePtr FlatFrame(int width, int height, uint8_t luma) {
  FramePtr frame(av_frame_alloc());
  if (!frame) return nullptr;
  frame->width = width;
  frame->height = height;
  frame->format = AV_PIX_FMT_YUVJ420P;
  if (av_frame_get_buffer(frame.get(), 0) < 0) return nullptr;
  for (int plane = 0; plane < 3; ++plane)
    for (int row = 0; row < (plane ? (height + 1) / 2 : height); ++row)
      std::fill_n(frame->data[plane] + row * frame->linesize[plane], frame->linesize[plane], plane ? 128 : luma);
  return frame;
}

// The colour seen when `colour` lies over grey at its own opacity.
Chroma OverGrey(const YuvaColour& colour) {
  return {(colour.u * colour.alpha + 128 * (255 - colour.alpha)) / 255,
          (colour.v * colour.alpha + 128 * (255 - colour.alpha)) / 255};
}

TEST(SubtitleLayer, ColoursWhatItPaintsAndLeavesTheRestOfTheFrame) {
  const YuvaColour red = FromRgba(255, 0, 0, 255);
  const YuvaColour white = FromRgba(255, 255, 255, 255);
  const YuvaColour clearBlue = FromRgba(0, 0, 255, 128);
  const Chroma grey = {128, 128};
  struct Case {
    const char* name;
    int width, height;
    std::vector<Box> earlier;  // the picture before, when any
    std::vector<Box> boxes;
    int column, row;  // of the chroma sample looked at
    Chroma expected;
    int tolerance;
  };
  const Case cases[] = {
      {"opaque, lower chroma row", 8, 6, {}, {{0, 0, 8, 6, red}}, 1, 2, OverGrey(red), 1},
      {"half clear", 8, 6, {}, {{0, 0, 8, 6, clearBlue}}, 1, 1, OverGrey(clearBlue), 2},
      {"between two marks", 8, 6, {}, {{0, 0, 2, 2, red}, {6, 0, 2, 2, red}}, 1, 0, grey, 0},
      {"where the last picture was", 8, 6, {{0, 0, 8, 6, red}}, {{0, 0, 2, 2, white}, {6, 4, 2, 2, white}}, 1, 1,
       grey, 0},
      // The last chroma sample of an odd size stands for one pixel only.
      {"bottom right corner of an odd size", 7, 5, {}, {{6, 4, 1, 1, red}}, 3, 2, OverGrey(red), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SubtitleLayer layer;
    const auto paint = [&layer](const std::vector<Box>& boxes) {
      for (const Box& box : boxes) {
        const std::vector<uint8_t> mask(static_cast<size_t>(box.width) * box.height, 255);
        layer.PaintMask(box.x, box.y, box.width, box.height, mask.data(), box.width, box.colour);
      }
    };
    layer.Reset(c.width, c.height);
    if (!c.earlier.empty()) {
      paint(c.earlier);
      layer.Reset(c.width, c.height);
    }
    paint(c.boxes);
    const FramePtr frame = FlatFrame(c.width, c.height, 128);
    ASSERT_NE(frame, nullptr);
    layer.BlendOnto(*frame);
    EXPECT_NEAR(frame->data[1][c.row * frame->linesize[1] + c.column], c.expected.u, c.tolerance);
    EXPECT_NEAR(frame->data[2][c.row * frame->linesize[2] + c.column], c.expected.v, c.tolerance);
  }
}

}  // namespace

// A DVD subtitle's palette reaches its bitmap with each channel in its place,
// premultiplied by its opacity; a pixel of an unlisted colour is clear.
TEST(PictureSubtitles, ReadsEachPaletteColourIntoItsPixels) {
  uint32_t palette[3] = {0xFF804020, 0x80FFFF00, 0xFF0000FF};
  uint8_t pixels[4] = {0, 1, 2, 3};
  AVSubtitleRect rect{};
  rect.type = SUBTITLE_BITMAP;
  rect.x = 10;
  rect.y = 20;
  rect.w = 2;
  rect.h = 2;
  rect.nb_colors = 3;
  rect.data[0] = pixels;
  rect.linesize[0] = 2;
  rect.data[1] = reinterpret_cast<uint8_t*>(palette);
  AVSubtitleRect* rects[] = {&rect};
  AVSubtitle subtitle{};
  subtitle.num_rects = 1;
  subtitle.rects = rects;

  const PictureSubtitles::Picture picture = PictureSubtitles::Read(subtitle, 720, 480);
  ASSERT_EQ(picture.bitmaps.size(), 1u);
  const PictureSubtitles::Bitmap& bitmap = picture.bitmaps[0];
  EXPECT_EQ(std::tie(bitmap.x, bitmap.y, bitmap.width, bitmap.height), std::make_tuple(10, 20, 2, 2));
  ASSERT_EQ(bitmap.pixels.size(), 4u);
  const auto premultiplied = [](YuvaColour colour) {
    const auto times = [&](int value) { return (value * colour.alpha + 127) / 255; };
    return std::array<int, 4>{times(colour.y), times(colour.u), times(colour.v), colour.alpha};
  };
  const auto channels = [](YuvaColour colour) { return std::array<int, 4>{colour.y, colour.u, colour.v, colour.alpha}; };
  EXPECT_EQ(channels(bitmap.pixels[0]), premultiplied(FromRgba(0x80, 0x40, 0x20, 0xFF)));
  EXPECT_EQ(channels(bitmap.pixels[1]), premultiplied(FromRgba(0xFF, 0xFF, 0x00, 0x80)));
  EXPECT_EQ(channels(bitmap.pixels[2]), premultiplied(FromRgba(0x00, 0x00, 0xFF, 0xFF)));
  EXPECT_EQ(bitmap.pixels[3].alpha, 0);
}

// Full-range BT.601, as a JPEG decoder turns it back: the primaries' known values.
TEST(SubtitleLayer, ColoursTurnToTheYuvOfJpegPictures) {
  const struct {
    uint8_t red, green, blue;
    std::array<int, 3> yuv;
  } cases[] = {
      {255, 0, 0, {76, 85, 255}},    {0, 255, 0, {150, 44, 21}},      {0, 0, 255, {29, 255, 107}},
      {255, 255, 255, {255, 128, 128}}, {0, 0, 0, {0, 128, 128}}, {128, 64, 32, {79, 101, 163}},
  };
  for (const auto& c : cases) {
    const YuvaColour colour = FromRgba(c.red, c.green, c.blue, 200);
    EXPECT_EQ((std::array<int, 3>{colour.y, colour.u, colour.v}), c.yuv)
        << int(c.red) << "," << int(c.green) << "," << int(c.blue);
    EXPECT_EQ(colour.alpha, 200);
  }
}

// A bitmap drawn where the canvas is the frame covers its own pixels and no
// row or column beside them.
TEST(PictureSubtitles, PaintsABitmapOnItsOwnPixelsOnly) {
  const YuvaColour white = FromRgba(255, 255, 255, 255);
  PictureSubtitles::Picture picture{8, 8, {{2, 3, 3, 2, std::vector<YuvaColour>(6, white)}}};
  PictureSubtitles subtitles;
  subtitles.Add(std::move(picture), 0, 10);
  const PictureArea area{8, 8, {}, {}, 8, 8};
  SubtitleLayer layer;
  bool changed = false;
  subtitles.Draw(1, area, layer, changed);
  EXPECT_TRUE(changed);
  const FramePtr frame = FlatFrame(8, 8, 0);
  ASSERT_NE(frame, nullptr);
  layer.BlendOnto(*frame);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool inside = x >= 2 && x < 5 && y >= 3 && y < 5;
      EXPECT_EQ(frame->data[0][y * frame->linesize[0] + x], inside ? 255 : 0) << "at " << x << "," << y;
    }
}
