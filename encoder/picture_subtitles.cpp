#include "encoder/picture_subtitles.h"

#include <algorithm>
#include <cmath>

namespace {

// The palette's colours premultiplied by their opacity.
std::vector<YuvaColour> Palette(const AVSubtitleRect& rect) {
  std::vector<YuvaColour> palette(256);
  const uint32_t* colours = reinterpret_cast<const uint32_t*>(rect.data[1]);
  for (int i = 0; i < std::min(rect.nb_colors, 256); ++i) {
    const uint32_t argb = colours[i];
    const uint8_t alpha = argb >> 24;
    const YuvaColour colour = FromRgba((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF, alpha);
    const auto times = [alpha](uint8_t value) { return static_cast<uint8_t>((value * alpha + 127) / 255); };
    palette[static_cast<size_t>(i)] = {times(colour.y), times(colour.u), times(colour.v), alpha};
  }
  return palette;
}

}  // namespace

PictureSubtitles::Picture PictureSubtitles::Read(const AVSubtitle& subtitle, int canvasWidth, int canvasHeight) {
  Picture picture{canvasWidth, canvasHeight, {}};
  for (unsigned i = 0; i < subtitle.num_rects; ++i) {
    const AVSubtitleRect& rect = *subtitle.rects[i];
    if (rect.type != SUBTITLE_BITMAP || rect.w <= 0 || rect.h <= 0 || !rect.data[0] || !rect.data[1]) continue;
    const std::vector<YuvaColour> palette = Palette(rect);
    Bitmap bitmap{rect.x, rect.y, rect.w, rect.h, {}};
    bitmap.pixels.reserve(static_cast<size_t>(rect.w) * rect.h);
    for (int row = 0; row < rect.h; ++row)
      for (int column = 0; column < rect.w; ++column)
        bitmap.pixels.push_back(palette[rect.data[0][static_cast<size_t>(row) * rect.linesize[0] + column]]);
    picture.bitmaps.push_back(std::move(bitmap));
  }
  return picture;
}

void PictureSubtitles::Add(Picture picture, double startSeconds, std::optional<double> endSeconds) {
  Shown shown{++added_, startSeconds, endSeconds, std::move(picture)};
  const auto later = std::upper_bound(queue_.begin(), queue_.end(), startSeconds,
                                      [](double start, const Shown& other) { return start < other.start; });
  queue_.insert(later, std::move(shown));
}

// Each output pixel takes the average of the canvas pixels it covers, so
// thin strokes fade rather than vanish as a bitmap shrinks.
void PictureSubtitles::Paint(const Picture& shown, const PictureArea& area, SubtitleLayer& layer) const {
  const int croppedWidth = area.sourceWidth - area.crop.left - area.crop.right;
  const int croppedHeight = area.sourceHeight - area.crop.top - area.crop.bottom;
  const int innerWidth = area.frameWidth - area.padded.left - area.padded.right;
  const int innerHeight = area.frameHeight - area.padded.top - area.padded.bottom;
  if (croppedWidth <= 0 || croppedHeight <= 0 || shown.canvasWidth <= 0 || shown.canvasHeight <= 0) return;
  // Canvas pixels per output pixel, and where canvas point 0 lands.
  const double scaleX = static_cast<double>(area.sourceWidth) / shown.canvasWidth * innerWidth / croppedWidth;
  const double scaleY = static_cast<double>(area.sourceHeight) / shown.canvasHeight * innerHeight / croppedHeight;
  const double originX = area.padded.left - static_cast<double>(area.crop.left) * innerWidth / croppedWidth;
  const double originY = area.padded.top - static_cast<double>(area.crop.top) * innerHeight / croppedHeight;
  for (const Bitmap& bitmap : shown.bitmaps) {
    const int left = static_cast<int>(std::floor(originX + bitmap.x * scaleX));
    const int top = static_cast<int>(std::floor(originY + bitmap.y * scaleY));
    const int right = static_cast<int>(std::ceil(originX + (bitmap.x + bitmap.width) * scaleX));
    const int bottom = static_cast<int>(std::ceil(originY + (bitmap.y + bitmap.height) * scaleY));
    for (int y = std::max(top, 0); y < std::min(bottom, area.frameHeight); ++y) {
      // The bitmap's rows this output row covers, at least one.
      const int firstRow = std::clamp(static_cast<int>((y - originY) / scaleY) - bitmap.y, 0, bitmap.height - 1);
      const int endRow =
          std::clamp(static_cast<int>((y + 1 - originY) / scaleY) - bitmap.y, firstRow + 1, bitmap.height);
      for (int x = std::max(left, 0); x < std::min(right, area.frameWidth); ++x) {
        const int firstColumn = std::clamp(static_cast<int>((x - originX) / scaleX) - bitmap.x, 0, bitmap.width - 1);
        const int endColumn =
            std::clamp(static_cast<int>((x + 1 - originX) / scaleX) - bitmap.x, firstColumn + 1, bitmap.width);
        int sumY = 0, sumU = 0, sumV = 0, sumAlpha = 0;
        for (int row = firstRow; row < endRow; ++row)
          for (int column = firstColumn; column < endColumn; ++column) {
            const YuvaColour& pixel = bitmap.pixels[static_cast<size_t>(row) * bitmap.width + column];
            sumY += pixel.y;
            sumU += pixel.u;
            sumV += pixel.v;
            sumAlpha += pixel.alpha;
          }
        const int count = (endRow - firstRow) * (endColumn - firstColumn);
        layer.PaintPixel(x, y,
                         {static_cast<uint8_t>(sumY / count), static_cast<uint8_t>(sumU / count),
                          static_cast<uint8_t>(sumV / count), static_cast<uint8_t>(sumAlpha / count)});
      }
    }
  }
}

void PictureSubtitles::Draw(double seconds, const PictureArea& area, SubtitleLayer& layer, bool& changed) {
  // A subtitle gives way to the next once that one starts.
  while (queue_.size() >= 2 && queue_[1].start <= seconds) queue_.pop_front();
  const Shown* shown = nullptr;
  if (!queue_.empty()) {
    const Shown& front = queue_.front();
    if (front.start <= seconds && (!front.end || seconds < *front.end)) shown = &front;
  }
  const uint64_t id = shown ? shown->id : 0;
  changed = id != drawnId_ || !drawnArea_ || !(*drawnArea_ == area);
  if (!changed) return;
  drawnId_ = id;
  drawnArea_ = area;
  layer.Reset(area.frameWidth, area.frameHeight);
  if (shown) Paint(shown->picture, area, layer);
}
