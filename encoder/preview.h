#pragma once

#include "encoder/options.h"

// Writes the one picture a conversion with these options shows at
// options.previewSeconds after its start (the start of the part, with -ss),
// as a binary PPM at the output path, through the same crop, scale and pad
// steps as a conversion. Before decoding it prints the source's geometry
// and play time (the part's, with -ss or -to) on stderr:
//   "Preview source: 1920x1080, aspect 1:1, rotation 0, duration 12.500"
// (duration -1 when unknown). Exit status 0 when the picture was written,
// 1 after one line telling why not.
int WritePreview(const EncoderOptions& options);
