#include "encoder/picture_pipeline.h"

#include <gtest/gtest.h>

#include <vector>

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
