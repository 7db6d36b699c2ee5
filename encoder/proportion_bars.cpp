#include "encoder/proportion_bars.h"

#include <algorithm>
#include <cmath>

AVRational SampleAspect(const AVStream& stream) {
  for (const AVRational aspect : {stream.sample_aspect_ratio, stream.codecpar->sample_aspect_ratio})
    if (aspect.num > 0 && aspect.den > 0) return aspect;
  return {1, 1};
}

double ShownProportion(int storedWidth, int storedHeight, AVRational sampleAspect, int quarterTurns) {
  const double proportion = double(storedWidth) * sampleAspect.num / (double(storedHeight) * sampleAspect.den);
  return quarterTurns % 2 ? 1 / proportion : proportion;
}

Bands ProportionBars(int innerWidth, int innerHeight, double proportion) {
  Bands bars;
  if (innerWidth <= 0 || innerHeight <= 0 || !(proportion > 0)) return bars;
  if (proportion > double(innerWidth) / innerHeight) {
    const int shown = std::clamp(static_cast<int>(std::lround(innerWidth / proportion)), 1, innerHeight);
    bars.top = (innerHeight - shown) / 2;
    bars.bottom = innerHeight - shown - bars.top;
  } else {
    const int shown = std::clamp(static_cast<int>(std::lround(innerHeight * proportion)), 1, innerWidth);
    bars.left = (innerWidth - shown) / 2;
    bars.right = innerWidth - shown - bars.left;
  }
  return bars;
}
