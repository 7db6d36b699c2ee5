#pragma once

#include "encoder/ffmpeg_handles.h"
#include "encoder/options.h"

// The black bars that show a source at its own proportions on a player's
// screen: a letterbox for a picture wider than the area it goes into, a
// pillarbox for a narrower one.

// The width of one stored pixel over its height, as the stream or, failing
// that, its codec tells it; square when neither does.
AVRational SampleAspect(const AVStream& stream);

// Width over height of a picture of this stored size as a player shows it:
// each pixel `sampleAspect` wide, then turned `quarterTurns` clockwise.
double ShownProportion(int storedWidth, int storedHeight, AVRational sampleAspect, int quarterTurns);

// The bars to add around the area `innerWidth` x `innerHeight` so that what
// is left has `proportion`, to the nearest pixel, the odd pixel below or on
// the right. At least one row and one column are left for the picture.
Bands ProportionBars(int innerWidth, int innerHeight, double proportion);
