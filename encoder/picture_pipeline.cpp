#include "encoder/picture_pipeline.h"

#include <cstring>
#include <utility>

#include "encoder/proportion_bars.h"
#include "encoder/rotation.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace {

constexpr AVPixelFormat kAmvFormat = AV_PIX_FMT_YUVJ420P;

bool IsFullRange(const AVFrame& frame) {
  switch (frame.format) {
    case AV_PIX_FMT_YUVJ420P:
    case AV_PIX_FMT_YUVJ422P:
    case AV_PIX_FMT_YUVJ444P:
    case AV_PIX_FMT_YUVJ440P:
    case AV_PIX_FMT_YUVJ411P:
      return true;
    default:
      return frame.color_range == AVCOL_RANGE_JPEG;
  }
}

Failure NewAmvFrame(int width, int height, FramePtr& frame) {
  frame.reset(av_frame_alloc());
  if (!frame) return ErrorText(AVERROR(ENOMEM));
  frame->format = kAmvFormat;
  frame->width = width;
  frame->height = height;
  if (int result = av_frame_get_buffer(frame.get(), 0); result < 0) return ErrorText(result);
  return std::nullopt;
}

// Chroma is shared by 2x2 pixels, so after an odd pad the picture's chroma
// starts half a pixel early.
void CopyInside(const AVFrame& inner, const Bands& pad, AVFrame& frame) {
  for (int plane = 0; plane < 3; ++plane) {
    const int shift = plane == 0 ? 0 : 1;
    const int columns = (inner.width + shift) >> shift;
    const int rows = (inner.height + shift) >> shift;
    uint8_t* target = frame.data[plane] + (pad.top >> shift) * frame.linesize[plane] + (pad.left >> shift);
    for (int row = 0; row < rows; ++row)
      std::memcpy(target + row * frame.linesize[plane], inner.data[plane] + row * inner.linesize[plane], columns);
  }
}

void FillBlack(AVFrame& frame) {
  std::memset(frame.data[0], 0, static_cast<size_t>(frame.linesize[0]) * frame.height);
  const int chromaRows = (frame.height + 1) / 2;
  std::memset(frame.data[1], 128, static_cast<size_t>(frame.linesize[1]) * chromaRows);
  std::memset(frame.data[2], 128, static_cast<size_t>(frame.linesize[2]) * chromaRows);
}

}  // namespace

PicturePipeline::PicturePipeline(int width, int height, Bands crop, Bands pad)
    : width_(width), height_(height), crop_(crop), pad_(pad) {}

Failure PicturePipeline::CheckSource(int sourceWidth, int sourceHeight) const {
  const Bands stored = StoredBands(crop_, quarterTurns_);
  if (sourceWidth - stored.left - stored.right > 0 && sourceHeight - stored.top - stored.bottom > 0)
    return std::nullopt;
  // Told as the user sees it: the crop counts on the upright picture.
  if (quarterTurns_ % 2) std::swap(sourceWidth, sourceHeight);
  return "Cropping " + std::to_string(crop_.top) + "/" + std::to_string(crop_.bottom) + "/" +
         std::to_string(crop_.left) + "/" + std::to_string(crop_.right) + " (top/bottom/left/right) leaves nothing of a " +
         std::to_string(sourceWidth) + "x" + std::to_string(sourceHeight) + " picture.";
}

Failure PicturePipeline::PrepareScaler(const AVFrame& cropped) {
  const bool fullRange = IsFullRange(cropped);
  if (scaler_ && scalerWidth_ == cropped.width && scalerHeight_ == cropped.height &&
      scalerFormat_ == cropped.format && scalerFullRange_ == fullRange)
    return std::nullopt;
  padded_ = pad_;
  if (keptAspect_.num > 0) {
    const Bands bars = ProportionBars(width_ - pad_.left - pad_.right, height_ - pad_.top - pad_.bottom,
                                      ShownProportion(cropped.width, cropped.height, keptAspect_, quarterTurns_));
    padded_ = {pad_.top + bars.top, pad_.bottom + bars.bottom, pad_.left + bars.left, pad_.right + bars.right};
  }
  // The bars may differ for the new size.
  inner_.reset();
  scaled_.reset();
  int innerWidth = width_ - padded_.left - padded_.right;
  int innerHeight = height_ - padded_.top - padded_.bottom;
  if (quarterTurns_ % 2) std::swap(innerWidth, innerHeight);
  scaler_.reset(sws_getContext(cropped.width, cropped.height, static_cast<AVPixelFormat>(cropped.format),
                               innerWidth, innerHeight, kAmvFormat, SWS_BICUBIC, nullptr, nullptr, nullptr));
  if (!scaler_) {
    const char* name = av_get_pix_fmt_name(static_cast<AVPixelFormat>(cropped.format));
    return "Cannot scale pictures of format " + std::string(name ? name : "unknown") + ".";
  }
  int* inverseTable = nullptr;
  int* table = nullptr;
  int sourceRange = 0, destinationRange = 0, brightness = 0, contrast = 0, saturation = 0;
  sws_getColorspaceDetails(scaler_.get(), &inverseTable, &sourceRange, &table, &destinationRange, &brightness,
                           &contrast, &saturation);
  sws_setColorspaceDetails(scaler_.get(), inverseTable, fullRange, table, 1, brightness, contrast, saturation);
  scalerWidth_ = cropped.width;
  scalerHeight_ = cropped.height;
  scalerFormat_ = cropped.format;
  scalerFullRange_ = fullRange;
  return std::nullopt;
}

Failure PicturePipeline::Render(const AVFrame* decoded, FramePtr& rendered) {
  if (Failure failure = CheckSource(decoded->width, decoded->height)) return failure;
  FramePtr cropped(av_frame_clone(decoded));
  if (!cropped) return ErrorText(AVERROR(ENOMEM));
  const AVPixFmtDescriptor* description = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(decoded->format));
  const Bands crop = StoredBands(crop_, quarterTurns_);
  cropped->crop_top = crop.top;
  cropped->crop_bottom = crop.bottom;
  cropped->crop_left = crop.left;
  cropped->crop_right = crop.right;
  // In packed formats that share chroma between two pixels, an odd start would swap the colour samples.
  if (description && !(description->flags & AV_PIX_FMT_FLAG_PLANAR) && description->log2_chroma_w)
    cropped->crop_left &= ~size_t{1};
  if (int result = av_frame_apply_cropping(cropped.get(), AV_FRAME_CROP_UNALIGNED); result < 0)
    return "Cannot crop the picture: " + ErrorText(result);
  if (Failure failure = PrepareScaler(*cropped)) return failure;

  // The scaler may write a few pixels past the end of a row, so it fills a
  // picture of its own that is then copied inside the pads.
  const int innerWidth = width_ - padded_.left - padded_.right;
  const int innerHeight = height_ - padded_.top - padded_.bottom;
  if (!inner_) {
    if (Failure failure = NewAmvFrame(innerWidth, innerHeight, inner_)) return failure;
  }
  if (quarterTurns_ == 0) {
    sws_scale(scaler_.get(), cropped->data, cropped->linesize, 0, cropped->height, inner_->data, inner_->linesize);
  } else {
    // Turning the small scaled picture costs far less than turning the decoded one.
    if (!scaled_) {
      const bool across = quarterTurns_ % 2;
      if (Failure failure = NewAmvFrame(across ? innerHeight : innerWidth, across ? innerWidth : innerHeight, scaled_))
        return failure;
    }
    sws_scale(scaler_.get(), cropped->data, cropped->linesize, 0, cropped->height, scaled_->data, scaled_->linesize);
    TurnPicture(*scaled_, quarterTurns_, *inner_);
  }
  if (Failure failure = NewAmvFrame(width_, height_, rendered)) return failure;
  FillBlack(*rendered);
  CopyInside(*inner_, padded_, *rendered);
  rendered->color_range = AVCOL_RANGE_JPEG;
  const bool across = quarterTurns_ % 2;
  area_ = {across ? decoded->height : decoded->width, across ? decoded->width : decoded->height, crop_, padded_, width_,
           height_};
  return std::nullopt;
}
