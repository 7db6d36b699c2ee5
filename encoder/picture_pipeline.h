#pragma once

#include "encoder/ffmpeg_handles.h"
#include "encoder/options.h"

// Where a rendered picture went, for what is drawn over it: the decoded
// picture's size as shown (upright), the crop on it, and the pads and bars
// around the picture inside the frame.
struct PictureArea {
  int sourceWidth = 0;
  int sourceHeight = 0;
  Bands crop;
  Bands padded;
  int frameWidth = 0;
  int frameHeight = 0;

  bool operator==(const PictureArea&) const = default;
};

// Turns a decoded picture into an AMV frame: crops the four bands (counted
// on the picture as shown, upright), turns it upright, scales what is left
// into the area inside the pads and fills the pads with black, so the frame
// is exactly the player's screen size.
class PicturePipeline {
 public:
  PicturePipeline(int width, int height, Bands crop, Bands pad);

  // Clockwise quarter turns that set the decoded pictures upright (see
  // ClockwiseQuarterTurns); none unless told.
  void SetQuarterTurns(int quarterTurns) { quarterTurns_ = quarterTurns; }

  // Bands counted on pictures decoded at a reduced size.
  void SetCrop(const Bands& crop) { crop_ = crop; }
  // Adds black bars inside the pads, worked out anew for every picture size,
  // so that the cropped source keeps its proportions with pixels of this aspect.
  void KeepProportions(AVRational sampleAspect) { keptAspect_ = sampleAspect; }

  // Checks that cropping a picture of this size leaves something to show.
  Failure CheckSource(int sourceWidth, int sourceHeight) const;

  // A new full-range 4:2:0 frame of the output size.
  Failure Render(const AVFrame* decoded, FramePtr& rendered);
  // Where the last picture rendered went.
  const PictureArea& LastArea() const { return area_; }

 private:
  Failure PrepareScaler(const AVFrame& cropped);

  int width_;
  int height_;
  Bands crop_;
  Bands pad_;
  int quarterTurns_ = 0;
  AVRational keptAspect_{0, 1};  // 0 when the pads alone decide
  Bands padded_;  // the pads and the bars that keep the proportions
  PictureArea area_;
  ScalerPtr scaler_;
  FramePtr scaled_;  // the inner area before it is turned upright
  FramePtr inner_;
  int scalerWidth_ = 0;
  int scalerHeight_ = 0;
  int scalerFormat_ = AV_PIX_FMT_NONE;
  bool scalerFullRange_ = false;
};
