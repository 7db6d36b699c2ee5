#pragma once

#include "encoder/ffmpeg_handles.h"
#include "encoder/options.h"

// How many clockwise quarter turns (0 to 3) a player applies to the stream's
// pictures to show them upright, as its display matrix says; 0 without one.
// Phones store portrait video as landscape pictures with such a matrix.
int ClockwiseQuarterTurns(const AVStream& stream);

// Copies `source` into `target` turned clockwise by `quarterTurns` (1 to 3).
// Both are planar 4:2:0 frames; `target` has the turned size.
void TurnPicture(const AVFrame& source, int quarterTurns, AVFrame& target);

// The bands of the stored picture that are the `shown` bands of the picture
// once it is turned `quarterTurns` clockwise: a crop counts on what the user
// sees, the decoder cuts the stored picture.
Bands StoredBands(const Bands& shown, int quarterTurns);
