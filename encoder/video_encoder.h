#pragma once

#include <cstdint>
#include <vector>

#include "encoder/ffmpeg_handles.h"

// libavcodec's AMV picture encoder, one packet per frame.
class VideoEncoder {
 public:
  Failure Open(int width, int height, int fps, int qmin, int qmax, bool reduceNoise);
  Failure Encode(AVFrame* frame, std::vector<uint8_t>& packet);

 private:
  CodecContextPtr context_;
  PacketPtr packet_;
  int64_t nextPts_ = 0;
};
