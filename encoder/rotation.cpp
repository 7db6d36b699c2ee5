#include "encoder/rotation.h"

#include <cmath>

extern "C" {
#include <libavutil/display.h>
}

int ClockwiseQuarterTurns(const AVStream& stream) {
  const auto* matrix =
      reinterpret_cast<const int32_t*>(av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr));
  if (!matrix) return 0;
  const double counter_clockwise = av_display_rotation_get(matrix);
  if (std::isnan(counter_clockwise)) return 0;
  const long quarters = std::lround(-counter_clockwise / 90.0);
  return static_cast<int>((quarters % 4 + 4) % 4);
}

void TurnPicture(const AVFrame& source, int quarter_turns, AVFrame& target) {
  for (int plane = 0; plane < 3; ++plane) {
    const int shift = plane == 0 ? 0 : 1;
    const int width = (source.width + shift) >> shift;
    const int height = (source.height + shift) >> shift;
    const uint8_t* from = source.data[plane];
    const int from_stride = source.linesize[plane];
    uint8_t* to = target.data[plane];
    const int to_stride = target.linesize[plane];
    // Row y, column x of the turned picture, from the source's rows and columns.
    if (quarter_turns == 1) {
      for (int y = 0; y < width; ++y)
        for (int x = 0; x < height; ++x) to[y * to_stride + x] = from[(height - 1 - x) * from_stride + y];
    } else if (quarter_turns == 2) {
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) to[y * to_stride + x] = from[(height - 1 - y) * from_stride + width - 1 - x];
    } else {
      for (int y = 0; y < width; ++y)
        for (int x = 0; x < height; ++x) to[y * to_stride + x] = from[x * from_stride + width - 1 - y];
    }
  }
}
