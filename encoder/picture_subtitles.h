#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "encoder/picture_pipeline.h"
#include "encoder/subtitle_layer.h"

// Picture subtitles (DVD, Blu-ray, DVB), decoded by FFmpeg as palette
// bitmaps on a canvas the size of the film's picture, then scaled and placed
// as the picture is: through its crop, into the area inside the pads.
class PictureSubtitles {
 public:
  struct Bitmap {
    int x, y, width, height;
    std::vector<YuvaColour> pixels;  // premultiplied, row by row
  };
  // The bitmaps of one subtitle on its canvas; none clear the screen.
  struct Picture {
    int canvasWidth = 0;
    int canvasHeight = 0;
    std::vector<Bitmap> bitmaps;
  };
  static Picture Read(const AVSubtitle& subtitle, int canvasWidth, int canvasHeight);

  // Shows `picture` from `startSeconds` until `endSeconds` or, when that is
  // unknown, until the next one starts.
  void Add(Picture picture, double startSeconds, std::optional<double> endSeconds);

  // Paints what shows at `seconds` over a picture placed as `area` says, if
  // it differs from what the layer holds; `changed` tells whether it did.
  void Draw(double seconds, const PictureArea& area, SubtitleLayer& layer, bool& changed);

 private:
  struct Shown {
    uint64_t id;
    double start;
    std::optional<double> end;
    Picture picture;
  };

  void Paint(const Picture& shown, const PictureArea& area, SubtitleLayer& layer) const;

  std::deque<Shown> queue_;  // in order of their start
  uint64_t added_ = 0;
  uint64_t drawnId_ = 0;  // 0: none
  std::optional<PictureArea> drawnArea_;
};
