#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "encoder/options.h"

// Whether the picture, scaled from the cropped source (decoded, then set
// upright by `quarterTurns` clockwise turns; the crop counts upright) into
// the area inside the pads, shrinks to half its size or less in both
// directions. The scaler then averages away the block edges that the decoder's in-loop filter
// smooths, so B pictures may be decoded without it: their error reaches at
// most the few B pictures predicted from them, whereas an unfiltered P
// picture would pass its error on up to the next key picture, which can be
// seconds away and then shows. An unknown source size keeps full decoding.
bool ShrinksToHalfOrLess(int sourceWidth, int sourceHeight, int quarterTurns, const EncoderOptions& options);

// How many times, up to `most`, the decoder may halve the picture both ways
// while decoding, so that what is left of it still shrinks by `spareShrink`
// or more into the area inside the pads, and the crop bands stay whole
// pixels. 0 for an unknown source size.
int HalvingSteps(int sourceWidth, int sourceHeight, int quarterTurns, const EncoderOptions& options, int most,
                 double spareShrink);

// A picture packet's presentation and decoding stamps in its stream's ticks,
// each missing where the container gives none.
struct PacketStamps {
  std::optional<int64_t> pts;
  std::optional<int64_t> dts;
};

// Where a picture presented at `start` gives way to the next one, as
// decoding every picture would time it, from the presentation stamps of the
// pictures read before it and the stamps of those read after it, in file
// order. Nothing while those packets cannot tell yet. Containers that keep
// decoding order only (AVI) give no stamp to reference pictures; the picture
// that comes out when one is decoded then takes that packet's decoding time.
std::optional<int64_t> ShownUntil(int64_t start, const std::vector<int64_t>& earlierPts,
                                  const std::vector<PacketStamps>& later);

// Whether an MPEG-2 packet starts with a field picture: one of the two
// halves of an interlaced frame, which needs the other. A packet of frame
// pictures, interlaced or not, stands for whole frames.
bool HoldsFieldPicture(const uint8_t* data, size_t size);

// How many threads the video decoder gets for pictures of this size on a
// machine with `cores` cores: one for sources up to 720p, where handing
// pictures between threads costs more CPU time than it spreads (11 to 24%
// measured up to 480p, 12% on VP9 720p), and above that one per 480p's worth
// of pixels, up to one more than the cores, as FFmpeg's own choice for frame
// threads. Several conversions at once are what spread small sources over
// the cores.
int DecoderThreads(int width, int height, int cores);
