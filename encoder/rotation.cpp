#include "encoder/rotation.h"

#include <cmath>

extern "C" {
#include <libavutil/display.h>
}

int ClockwiseQuarterTurns(const AVStream& stream) {
  const auto* matrix =
      reinterpret_cast<const int32_t*>(av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr));
  if (!matrix) return 0;
  const double counterClockwise = av_display_rotation_get(matrix);
  if (std::isnan(counterClockwise)) return 0;
  const long quarters = std::lround(-counterClockwise / 90.0);
  return static_cast<int>((quarters % 4 + 4) % 4);
}

void TurnPicture(const AVFrame& source, int quarterTurns, AVFrame& target) {
  for (int plane = 0; plane < 3; ++plane) {
    const int shift = plane == 0 ? 0 : 1;
    const int width = (source.width + shift) >> shift;
    const int height = (source.height + shift) >> shift;
    const uint8_t* from = source.data[plane];
    const int fromStride = source.linesize[plane];
    uint8_t* to = target.data[plane];
    const int toStride = target.linesize[plane];
    // Row y, column x of the turned picture, from the source's rows and columns.
    if (quarterTurns == 1) {
      for (int y = 0; y < width; ++y)
        for (int x = 0; x < height; ++x) to[y * toStride + x] = from[(height - 1 - x) * fromStride + y];
    } else if (quarterTurns == 2) {
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) to[y * toStride + x] = from[(height - 1 - y) * fromStride + width - 1 - x];
    } else {
      for (int y = 0; y < width; ++y)
        for (int x = 0; x < height; ++x) to[y * toStride + x] = from[x * fromStride + width - 1 - y];
    }
  }
}

Bands StoredBands(const Bands& shown, int quarterTurns) {
  switch (quarterTurns) {
    case 1:  // the stored top becomes the right
      return {shown.right, shown.left, shown.top, shown.bottom};
    case 2:
      return {shown.bottom, shown.top, shown.right, shown.left};
    case 3:  // the stored top becomes the left
      return {shown.left, shown.right, shown.bottom, shown.top};
    default:
      return shown;
  }
}
