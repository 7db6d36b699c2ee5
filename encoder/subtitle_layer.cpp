#include "encoder/subtitle_layer.h"

#include <algorithm>
#include <cmath>

namespace {

uint8_t Scale(int value, int alpha) { return static_cast<uint8_t>((value * alpha + 127) / 255); }

uint8_t Clamp(double value) { return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L)); }

}  // namespace

YuvaColour FromRgba(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
  return {Clamp(0.299 * red + 0.587 * green + 0.114 * blue),
          Clamp(128 - 0.168736 * red - 0.331264 * green + 0.5 * blue),
          Clamp(128 + 0.5 * red - 0.418688 * green - 0.081312 * blue), alpha};
}

void SubtitleLayer::Reset(int width, int height) {
  const size_t size = static_cast<size_t>(width) * height;
  if (width != width_ || height != height_) {
    width_ = width;
    height_ = height;
    y_.assign(size, 0);
    u_.assign(size, 0);
    v_.assign(size, 0);
    alpha_.assign(size, 0);
  } else {
    for (int row = top_; row < bottom_; ++row) {
      const size_t at = static_cast<size_t>(row) * width_ + left_;
      const size_t count = right_ - left_;
      std::fill_n(y_.begin() + at, count, 0);
      std::fill_n(u_.begin() + at, count, 0);
      std::fill_n(v_.begin() + at, count, 0);
      std::fill_n(alpha_.begin() + at, count, 0);
    }
  }
  left_ = top_ = right_ = bottom_ = 0;
}

void SubtitleLayer::Grow(int x, int y, int width, int height) {
  if (Empty()) {
    left_ = x;
    top_ = y;
    right_ = x + width;
    bottom_ = y + height;
    return;
  }
  left_ = std::min(left_, x);
  top_ = std::min(top_, y);
  right_ = std::max(right_, x + width);
  bottom_ = std::max(bottom_, y + height);
}

void SubtitleLayer::PaintPixel(int x, int y, const YuvaColour& premultiplied) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || premultiplied.alpha == 0) return;
  const size_t at = static_cast<size_t>(y) * width_ + x;
  const int rest = 255 - premultiplied.alpha;
  y_[at] = static_cast<uint8_t>(premultiplied.y + Scale(y_[at], rest));
  u_[at] = static_cast<uint8_t>(premultiplied.u + Scale(u_[at], rest));
  v_[at] = static_cast<uint8_t>(premultiplied.v + Scale(v_[at], rest));
  alpha_[at] = static_cast<uint8_t>(premultiplied.alpha + Scale(alpha_[at], rest));
  Grow(x, y, 1, 1);
}

void SubtitleLayer::PaintMask(int x, int y, int width, int height, const uint8_t* mask, int stride, YuvaColour colour) {
  const int firstRow = std::max(0, -y), lastRow = std::min(height, height_ - y);
  const int firstColumn = std::max(0, -x), lastColumn = std::min(width, width_ - x);
  if (firstRow >= lastRow || firstColumn >= lastColumn || colour.alpha == 0) return;
  for (int row = firstRow; row < lastRow; ++row) {
    const uint8_t* coverage = mask + static_cast<size_t>(row) * stride;
    for (int column = firstColumn; column < lastColumn; ++column) {
      const int alpha = Scale(coverage[column], colour.alpha);
      if (alpha == 0) continue;
      const size_t at = static_cast<size_t>(y + row) * width_ + x + column;
      const int rest = 255 - alpha;
      y_[at] = static_cast<uint8_t>(Scale(colour.y, alpha) + Scale(y_[at], rest));
      u_[at] = static_cast<uint8_t>(Scale(colour.u, alpha) + Scale(u_[at], rest));
      v_[at] = static_cast<uint8_t>(Scale(colour.v, alpha) + Scale(v_[at], rest));
      alpha_[at] = static_cast<uint8_t>(alpha + Scale(alpha_[at], rest));
    }
  }
  Grow(x + firstColumn, y + firstRow, lastColumn - firstColumn, lastRow - firstRow);
}

void SubtitleLayer::BlendOnto(AVFrame& frame) const {
  if (Empty() || frame.width != width_ || frame.height != height_) return;
  for (int row = top_; row < bottom_; ++row) {
    uint8_t* luma = frame.data[0] + static_cast<size_t>(row) * frame.linesize[0];
    const size_t at = static_cast<size_t>(row) * width_;
    for (int column = left_; column < right_; ++column)
      luma[column] = static_cast<uint8_t>(y_[at + column] + Scale(luma[column], 255 - alpha_[at + column]));
  }
  for (int row = top_ / 2; row < (bottom_ + 1) / 2; ++row) {
    uint8_t* u = frame.data[1] + static_cast<size_t>(row) * frame.linesize[1];
    uint8_t* v = frame.data[2] + static_cast<size_t>(row) * frame.linesize[2];
    for (int column = left_ / 2; column < (right_ + 1) / 2; ++column) {
      int sumU = 0, sumV = 0, sumAlpha = 0, count = 0;
      for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) {
          const int py = row * 2 + dy, px = column * 2 + dx;
          if (py >= height_ || px >= width_) continue;
          const size_t at = static_cast<size_t>(py) * width_ + px;
          sumU += u_[at];
          sumV += v_[at];
          sumAlpha += alpha_[at];
          ++count;
        }
      const int alpha = sumAlpha / count;
      u[column] = static_cast<uint8_t>(std::min(255, sumU / count + Scale(u[column], 255 - alpha)));
      v[column] = static_cast<uint8_t>(std::min(255, sumV / count + Scale(v[column], 255 - alpha)));
    }
  }
}
