#include "encoder/decoder_setup.h"

#include "encoder/decode_shortcuts.h"

namespace {

struct HalvingRule {
  AVCodecID codec;
  int most;            // halvings at most
  double spareShrink;  // how far the picture must still shrink after them
};

// Measured against the source scaled with lanczos, output at 160x120 to
// 208x176: JPEG pictures halve twice for 0.1 to 0.3 dB. MPEG pictures
// predict each other, and their motion compensation drifts at a reduced
// size: twice costs 1.4 to 2.8 dB, once costs MPEG-4 at most 0.2 dB
// wherever the scaler still shrinks the rest. Interlaced MPEG-2 (DVD) loses
// more as that last shrink nears 1: 0.3 dB at 2x, 0.45 dB at 1.5x, 0.65 dB
// at 1.2x.
constexpr HalvingRule kHalvingRules[] = {
    {AV_CODEC_ID_MJPEG, 2, 1},
    {AV_CODEC_ID_MPEG2VIDEO, 1, 1.5},
    {AV_CODEC_ID_MPEG4, 1, 1},
};

}  // namespace

Failure SetUpVideoDecoding(InputMedia& input, PicturePipeline& picture, int quarterTurns,
                           const EncoderOptions& options) {
  if (options.fullDecode) return std::nullopt;
  const AVCodecParameters& source = *input.VideoStream()->codecpar;
  for (const HalvingRule& rule : kHalvingRules) {
    if (rule.codec != source.codec_id) continue;
    const int halvings = HalvingSteps(source.width, source.height, quarterTurns, options, rule.most, rule.spareShrink);
    if (halvings == 0) break;
    if (Failure failure = input.DecodeVideoHalved(halvings)) return failure;
    const Bands& crop = options.crop;
    picture.SetCrop({crop.top >> halvings, crop.bottom >> halvings, crop.left >> halvings, crop.right >> halvings});
    break;
  }
  if (ShrinksToHalfOrLess(source.width, source.height, quarterTurns, options)) input.DecodeVideoRoughly();
  return std::nullopt;
}
