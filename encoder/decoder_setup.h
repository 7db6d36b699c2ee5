#pragma once

#include "encoder/input_media.h"
#include "encoder/options.h"
#include "encoder/picture_pipeline.h"

// Sets up the video decoder's shortcuts for this output, alike for a
// conversion and its preview so both show the same picture: halving the
// pictures while decoding where the codec loses nothing that shows, and the
// rough decoding of pictures that shrink to half or less. Before Decode;
// none with -decode full.
Failure SetUpVideoDecoding(InputMedia& input, PicturePipeline& picture, int quarterTurns,
                           const EncoderOptions& options);
