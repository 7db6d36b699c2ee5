#include "encoder/decode_shortcuts.h"

#include <algorithm>
#include <utility>

#include "encoder/rotation.h"

namespace {

// The cropped source, as decoded, and the area inside the pads it is scaled into.
struct Fit {
  int shownWidth, shownHeight;
  int innerWidth, innerHeight;
};

Fit FitOf(int sourceWidth, int sourceHeight, int quarterTurns, const EncoderOptions& options) {
  const Bands crop = StoredBands(options.crop, quarterTurns);
  Fit fit{sourceWidth - crop.left - crop.right, sourceHeight - crop.top - crop.bottom,
          options.width - options.pad.left - options.pad.right, options.height - options.pad.top - options.pad.bottom};
  // A picture turned a quarter fills the inner area's width with its height.
  if (quarterTurns % 2 != 0) std::swap(fit.innerWidth, fit.innerHeight);
  return fit;
}

// Whether the shown picture shrinks by `factor` or more both ways.
bool ShrinksBy(const Fit& fit, double factor) {
  if (fit.shownWidth <= 0 || fit.shownHeight <= 0) return false;
  return factor * fit.innerWidth <= fit.shownWidth && factor * fit.innerHeight <= fit.shownHeight;
}

}  // namespace

bool ShrinksToHalfOrLess(int sourceWidth, int sourceHeight, int quarterTurns, const EncoderOptions& options) {
  return ShrinksBy(FitOf(sourceWidth, sourceHeight, quarterTurns, options), 2);
}

int HalvingSteps(int sourceWidth, int sourceHeight, int quarterTurns, const EncoderOptions& options, int most,
                 double spareShrink) {
  const Fit fit = FitOf(sourceWidth, sourceHeight, quarterTurns, options);
  const Bands& crop = options.crop;
  for (int steps = most; steps > 0; --steps) {
    const int unit = 1 << steps;
    const bool whole = crop.top % unit == 0 && crop.bottom % unit == 0 && crop.left % unit == 0 && crop.right % unit == 0;
    if (whole && ShrinksBy(fit, spareShrink * unit)) return steps;
  }
  return 0;
}

std::optional<int64_t> ShownUntil(int64_t start, const std::vector<int64_t>& earlierPts,
                                  const std::vector<PacketStamps>& later) {
  if (later.empty()) return std::nullopt;
  std::optional<int64_t> end;
  const auto consider = [&end, start](int64_t stamp) {
    if (stamp > start && (!end || stamp < *end)) end = stamp;
  };
  // The next picture on screen may have been read before this one, as a
  // reference picture is, or after it.
  for (const int64_t pts : earlierPts) consider(pts);
  for (const PacketStamps& packet : later)
    if (packet.pts) consider(*packet.pts);
  if (!later.front().pts && later.front().dts) consider(*later.front().dts);
  if (!end) return std::nullopt;
  // No picture is presented before it is decoded: once one decodes at the end
  // or later, none still to come can come between.
  for (const PacketStamps& packet : later)
    if (packet.dts && *packet.dts >= *end) return end;
  return std::nullopt;
}

bool HoldsFieldPicture(const uint8_t* data, size_t size) {
  // The picture coding extension: start code 00 00 01 B5, identifier 8 in
  // the next four bits, then four f_codes and the DC precision before the
  // two bits of the picture structure (3: a frame). It comes before the
  // picture's first slice, so the slices (nearly all of the packet) are not
  // read.
  for (size_t i = 0; i + 6 < size; ++i) {
    // No start code has its third byte above 1: step over three bytes at once.
    if (data[i + 2] > 1) {
      i += 2;
      continue;
    }
    if (data[i] != 0 || data[i + 1] != 0 || data[i + 2] != 1) continue;
    const uint8_t code = data[i + 3];
    if (code >= 0x01 && code <= 0xAF) return false;
    if (code == 0xB5 && (data[i + 4] >> 4) == 8) return (data[i + 6] & 3) != 3;
  }
  return false;
}

int DecoderThreads(int width, int height, int cores) {
  constexpr int64_t kPixelsPerThread = 640 * 480;
  constexpr int64_t kMostPixelsForOneThread = 1280 * 720;
  const int64_t pixels = int64_t{std::max(width, 0)} * std::max(height, 0);
  const int64_t wanted = pixels <= 0                         ? cores + 1
                         : pixels <= kMostPixelsForOneThread ? 1
                                                             : (pixels + kPixelsPerThread - 1) / kPixelsPerThread;
  return static_cast<int>(std::clamp<int64_t>(wanted, 1, std::max(cores, 1) + 1));
}
