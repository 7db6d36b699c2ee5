#pragma once

#include <cstdint>

// What a file tells, in places independent of each other, about how long one
// of its pictures lasts. Zero where a place says nothing.
struct PictureClockEvidence {
  double headerPictureSeconds = 0;  // by the stream header's average rate
  int64_t headerPictureCount = 0;   // pictures the header counts
  double soundSeconds = 0;          // the sound stream's own length
  double codecPictureSeconds = 0;   // by the rate the codec's own data gives
};

// A damaged header rate (one picture per 46 days, or billions a second) would
// stretch three seconds of film over years, or squeeze them into one frame.
// Returns the factor that brings the video stream's times back to a plausible
// rate: 1 when the header's rate is plausible or nothing better is known.
double PictureClockCorrection(const PictureClockEvidence& evidence);
