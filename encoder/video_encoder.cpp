#include "encoder/video_encoder.h"

#include <string>

#include "encoder/quality.h"

Failure VideoEncoder::Open(int width, int height, int fps, int qmin, int qmax, bool reduceNoise) {
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_AMV);
  if (!codec) return std::string("This FFmpeg build has no AMV picture encoder.");
  context_.reset(avcodec_alloc_context3(codec));
  packet_.reset(av_packet_alloc());
  if (!context_ || !packet_) return ErrorText(AVERROR(ENOMEM));
  context_->width = width;
  context_->height = height;
  context_->pix_fmt = AV_PIX_FMT_YUVJ420P;
  context_->color_range = AVCOL_RANGE_JPEG;
  context_->time_base = AVRational{1, fps};
  context_->framerate = AVRational{fps, 1};
  // Players show 120-line screens; the encoder only writes heights that are
  // not a multiple of 16 when told that is intended.
  context_->strict_std_compliance = FF_COMPLIANCE_UNOFFICIAL;
  AVDictionary* settings = nullptr;
  av_dict_set_int(&settings, "noise_reduction", reduceNoise ? NoiseReductionFor(qmin, qmax) : 0, 0);
  const int result = avcodec_open2(context_.get(), codec, &settings);
  const bool unusedSetting = av_dict_count(settings) > 0;
  av_dict_free(&settings);
  if (result < 0) return "Cannot open the AMV picture encoder: " + ErrorText(result);
  if (unusedSetting) return std::string("The AMV picture encoder does not take a noise reduction strength.");
  return std::nullopt;
}

Failure VideoEncoder::Encode(AVFrame* frame, std::vector<uint8_t>& packet) {
  frame->pts = nextPts_++;
  int result = avcodec_send_frame(context_.get(), frame);
  if (result >= 0) result = avcodec_receive_packet(context_.get(), packet_.get());
  if (result < 0) return "Cannot encode a picture: " + ErrorText(result);
  packet.assign(packet_->data, packet_->data + packet_->size);
  av_packet_unref(packet_.get());
  return std::nullopt;
}
