#include "encoder/picture_clock.h"

namespace {

// A still in a slide show may stay a minute; no film picture stays longer.
constexpr double kLongestPlausiblePictureSeconds = 60;
// Faster than any camera stores its pictures for playback.
constexpr double kShortestPlausiblePictureSeconds = 1.0 / 1000;
// The rate players assume when nothing else is known.
constexpr double kUsualPictureSeconds = 1.0 / 25;

bool Plausible(double pictureSeconds) {
  return pictureSeconds >= kShortestPlausiblePictureSeconds && pictureSeconds <= kLongestPlausiblePictureSeconds;
}

}  // namespace

double PictureClockCorrection(const PictureClockEvidence& evidence) {
  const double header = evidence.headerPictureSeconds;
  if (!(header > 0) || Plausible(header)) return 1;
  // The sound's clock is separate from the damaged one, so it best tells how long the film really is.
  if (evidence.soundSeconds > 0 && evidence.headerPictureCount > 0) {
    const double bySound = evidence.soundSeconds / static_cast<double>(evidence.headerPictureCount);
    if (Plausible(bySound)) return bySound / header;
  }
  if (Plausible(evidence.codecPictureSeconds)) return evidence.codecPictureSeconds / header;
  return kUsualPictureSeconds / header;
}
