#pragma once

#include "encoder/options.h"

// Whether the picture, scaled from the cropped source (as decoded, before
// `quarterTurns` clockwise turns set it upright) into the area inside the
// pads, shrinks to half its size or less in both directions. The scaler
// then averages away the block edges that the decoder's in-loop filter
// smooths, so B pictures may be decoded without it: their error reaches at
// most the few B pictures predicted from them, whereas an unfiltered P
// picture would pass its error on up to the next key picture, which can be
// seconds away and then shows. An unknown source size keeps full decoding.
bool ShrinksToHalfOrLess(int sourceWidth, int sourceHeight, int quarterTurns, const EncoderOptions& options);
