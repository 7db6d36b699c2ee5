#pragma once

#include <cstdint>
#include <vector>

#include "encoder/ffmpeg_handles.h"

// A full-range colour with its opacity, 0 (clear) to 255 (opaque).
struct YuvaColour {
  uint8_t y = 0;
  uint8_t u = 128;
  uint8_t v = 128;
  uint8_t alpha = 0;
};

// Full-range BT.601, as JPEG pictures (and so AMV frames) take it.
YuvaColour FromRgba(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);

// What the subtitles paint over one output frame: colour and opacity per
// pixel, kept premultiplied so that layers of glyphs, outlines and scaled
// bitmaps stack and average without dark fringes.
class SubtitleLayer {
 public:
  void Reset(int width, int height);
  bool Empty() const { return right_ <= left_; }

  // Paints `colour` through a mask of coverage values (0 to 255) whose top
  // left corner stands at (x, y); what falls outside the frame is left out.
  void PaintMask(int x, int y, int width, int height, const uint8_t* mask, int stride, YuvaColour colour);
  // Paints a premultiplied pixel (a point of a scaled bitmap).
  void PaintPixel(int x, int y, const YuvaColour& premultiplied);

  // Lays the layer over a full-range 4:2:0 frame of its size; chroma, shared
  // by 2x2 pixels, takes their average.
  void BlendOnto(AVFrame& frame) const;

 private:
  void Grow(int x, int y, int width, int height);

  int width_ = 0;
  int height_ = 0;
  // Premultiplied planes, one value per pixel each.
  std::vector<uint8_t> y_, u_, v_, alpha_;
  // The box painted so far, to leave the rest of the frame alone.
  int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
};
