#include "encoder/picture_pipeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "Inc/AmvFormats.h"
#include "encoder/encoder_harness.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace {

// A picture with a diagonal ramp in every plane, so a wrong scale shows.
FramePtr Pattern(int width, int height, AVPixelFormat format, AVColorRange range) {
  FramePtr frame(av_frame_alloc());
  frame->width = width;
  frame->height = height;
  frame->format = format;
  frame->color_range = range;
  EXPECT_EQ(av_frame_get_buffer(frame.get(), 0), 0);
  const AVPixFmtDescriptor* description = av_pix_fmt_desc_get(format);
  for (int plane = 0; plane < 3; ++plane) {
    const int planeWidth = plane ? AV_CEIL_RSHIFT(width, description->log2_chroma_w) : width;
    const int planeHeight = plane ? AV_CEIL_RSHIFT(height, description->log2_chroma_h) : height;
    for (int y = 0; y < planeHeight; ++y)
      for (int x = 0; x < planeWidth; ++x)
        frame->data[plane][y * frame->linesize[plane] + x] = static_cast<uint8_t>(40 + (x + 2 * y + 30 * plane) % 180);
  }
  return frame;
}

std::vector<uint8_t> Bytes(const AVFrame& frame) {
  std::vector<uint8_t> bytes;
  for (int plane = 0; plane < 3; ++plane) {
    const int rows = plane ? (frame.height + 1) / 2 : frame.height;
    const int columns = plane ? (frame.width + 1) / 2 : frame.width;
    for (int y = 0; y < rows; ++y) {
      const uint8_t* row = frame.data[plane] + y * frame.linesize[plane];
      bytes.insert(bytes.end(), row, row + columns);
    }
  }
  return bytes;
}

std::vector<uint8_t> Rendered(PicturePipeline& pipeline, const AVFrame& picture, bool lumaOnly = false) {
  FramePtr rendered;
  EXPECT_EQ(pipeline.Render(&picture, rendered), std::nullopt);
  if (!rendered) return {};
  std::vector<uint8_t> bytes = Bytes(*rendered);
  if (lumaOnly) bytes.resize(static_cast<std::size_t>(rendered->width) * rendered->height);
  return bytes;
}

// A black picture holding a disc a third of its shorter side across, drawn
// in stored pixels of `aspect` so that it shows round.
FramePtr Disc(int width, int height, AVRational aspect) {
  FramePtr frame = Pattern(width, height, AV_PIX_FMT_YUV420P, AVCOL_RANGE_MPEG);
  const double across = av_q2d(aspect);
  const double radius = std::min(width * across, double(height)) / 3.0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      frame->data[0][y * frame->linesize[0] + x] =
          std::hypot((x - width / 2.0) * across, y - height / 2.0) < radius ? 235 : 16;
  for (int plane = 1; plane < 3; ++plane)
    for (int y = 0; y < (height + 1) / 2; ++y)
      for (int x = 0; x < (width + 1) / 2; ++x) frame->data[plane][y * frame->linesize[plane] + x] = 128;
  return frame;
}

}  // namespace

// Streams may change picture size, layout or range midway (joined recordings,
// broadcasts); each change must give the picture a fresh pipeline would.
TEST(PicturePipeline, AfterTheSourceChangesItRendersAsAFreshPipelineWould) {
  const FramePtr first = Pattern(320, 240, AV_PIX_FMT_YUV420P, AVCOL_RANGE_MPEG);
  const struct {
    const char* change;
    FramePtr picture;
  } cases[] = {
      {"narrower", Pattern(240, 240, AV_PIX_FMT_YUV420P, AVCOL_RANGE_MPEG)},
      {"lower", Pattern(320, 180, AV_PIX_FMT_YUV420P, AVCOL_RANGE_MPEG)},
      {"4:2:2", Pattern(320, 240, AV_PIX_FMT_YUV422P, AVCOL_RANGE_MPEG)},
      {"full range", Pattern(320, 240, AV_PIX_FMT_YUV420P, AVCOL_RANGE_JPEG)},
  };
  for (const auto& c : cases) {
    PicturePipeline reused(160, 120, Bands{4, 4, 0, 0}, Bands{0, 0, 6, 6});
    Rendered(reused, *first);
    PicturePipeline fresh(160, 120, Bands{4, 4, 0, 0}, Bands{0, 0, 6, 6});
    EXPECT_EQ(Rendered(reused, *c.picture), Rendered(fresh, *c.picture)) << c.change;
  }
}

// In planar formats a left band of any width is cut exactly: the picture
// looks as if those columns had never been there.
TEST(PicturePipeline, CroppingColumnsOnTheLeftEqualsLeavingThemOut) {
  const FramePtr source = Pattern(320, 240, AV_PIX_FMT_YUV420P, AVCOL_RANGE_MPEG);
  for (const int left : {1, 24, 25}) {
    const FramePtr trimmed = Pattern(320 - left, 240, AV_PIX_FMT_YUV420P, AVCOL_RANGE_MPEG);
    for (int y = 0; y < 240; ++y)
      for (int x = 0; x < 320 - left; ++x)
        trimmed->data[0][y * trimmed->linesize[0] + x] = source->data[0][y * source->linesize[0] + x + left];
    PicturePipeline cropping(160, 120, Bands{0, 0, left, 0}, Bands{});
    PicturePipeline whole(160, 120, Bands{}, Bands{});
    EXPECT_EQ(Rendered(cropping, *source, true), Rendered(whole, *trimmed, true)) << left;
  }
}

// "Crop left" cuts the left of what the user sees, wherever that band is
// stored in a picture the player turns.
TEST(PicturePipeline, CropCountsOnThePictureAsShown) {
  struct Band {
    int quarterTurns;
    bool rows;  // the shown left band is stored as rows, else as columns
    bool last;  // at the stored picture's end (bottom or right)
  };
  for (const Band band : {Band{0, false, false}, Band{1, true, true}, Band{2, false, true}, Band{3, true, false}}) {
    const int width = 64, height = 48, thick = 8;
    FramePtr picture = Pattern(width, height, AV_PIX_FMT_YUV420P, AVCOL_RANGE_MPEG);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const int at = band.rows ? y : x;
        const int length = band.rows ? height : width;
        const bool inBand = band.last ? at >= length - thick : at < thick;
        picture->data[0][y * picture->linesize[0] + x] = inBand ? 255 : 0;
      }
    PicturePipeline pipeline(160, 120, Bands{0, 0, thick, 0}, Bands{});
    pipeline.SetQuarterTurns(band.quarterTurns);
    const std::vector<uint8_t> luma = Rendered(pipeline, *picture, true);
    EXPECT_LT(*std::max_element(luma.begin(), luma.end()), 40) << band.quarterTurns;
  }
}

// Keep proportions on every kind of source the players meet, at every screen
// size, with and without the user's pads: a disc that is round as the source
// is shown stays round in the frame.
TEST(KeepProportions, DiscsStayRoundOnEverySourceAndScreen) {
  const struct {
    const char* name;
    int width, height;
    AVRational aspect;
    int quarterTurns;
  } sources[] = {
      {"16:9", 320, 180, {1, 1}, 0},
      {"4:3", 320, 240, {1, 1}, 0},
      {"2.39:1", 478, 200, {1, 1}, 0},
      {"9:16 stored upright", 180, 320, {1, 1}, 0},
      {"9:16 stored landscape, turned 90", 320, 180, {1, 1}, 1},
      {"9:16 stored landscape, turned 270", 320, 180, {1, 1}, 3},
      {"anamorphic DVD 16:9", 360, 288, {64, 45}, 0},
      {"anamorphic DVD 4:3", 360, 288, {16, 15}, 0},
  };
  for (const auto& source : sources) {
    const FramePtr picture = Disc(source.width, source.height, source.aspect);
    for (const AmvFrameSize& screen : kAmvFrameSizes) {
      // Pads of a quarter of the width on one side, or of the height below.
      for (const Bands& pad : {Bands{}, Bands{0, 0, 0, screen.width / 4}, Bands{0, screen.height / 4, 0, 0}}) {
        SCOPED_TRACE(std::string(source.name) + " on " + std::to_string(screen.width) + "x" +
                     std::to_string(screen.height) + ", padded right " + std::to_string(pad.right) + ", below " +
                     std::to_string(pad.bottom));
        PicturePipeline pipeline(screen.width, screen.height, Bands{}, pad);
        pipeline.SetQuarterTurns(source.quarterTurns);
        pipeline.KeepProportions(source.aspect);
        const std::vector<uint8_t> luma = Rendered(pipeline, *picture, true);
        EXPECT_NEAR(ShapeProportion(luma, screen.width, screen.height), 1, 0.03);
      }
    }
  }
}
