#include "tasks/picture_fit.h"

#include <algorithm>
#include <cmath>

#include "Inc/Lang.h"
#include "Inc/TextUtil.h"

namespace {

bool Turned(const SourcePicture& source) { return source.rotation == 90 || source.rotation == 270; }

// Splits a total over two edges, the odd pixel to the second.
void Split(int total, int& first, int& second) {
  first = total / 2;
  second = total - first;
}

// The total band (of at most `most` on each side) that brings `length`
// closest to `wanted`, as a ratio measured by log distance.
int BestBand(double length, double wanted, int most, int limit) {
  const double ideal = std::clamp(length - wanted, 0.0, double(std::min(2 * most, limit)));
  int best = static_cast<int>(std::floor(ideal));
  const int above = std::min(best + 1, std::min(2 * most, limit));
  if (std::abs(std::log((length - above) / wanted)) < std::abs(std::log((length - best) / wanted))) best = above;
  return best;
}

}  // namespace

double ShownSourceProportion(const SourcePicture& source, const std::array<int, 4>& crop) {
  const bool turned = Turned(source);
  // One shown pixel's width over its height, and the shown picture's size.
  const double aspect =
      turned ? double(source.aspectDen) / source.aspectNum : double(source.aspectNum) / source.aspectDen;
  const double width = (turned ? source.height : source.width) - crop[2] - crop[3];
  const double height = (turned ? source.width : source.height) - crop[0] - crop[1];
  return width * aspect / height;
}

PictureFit FitPicture(const SourcePicture& source, int screenWidth, int screenHeight, int mostPixels) {
  PictureFit fit;
  if (source.width <= 0 || source.height <= 0 || source.aspectNum <= 0 || source.aspectDen <= 0) return fit;
  const double wanted = ShownSourceProportion(source, fit.crop);
  const double screen = double(screenWidth) / screenHeight;
  // The source is wider than the screen: bands above and below, else beside.
  const bool letterbox = wanted > screen;
  int padded = 0;
  if (letterbox) {
    padded = BestBand(screenHeight, screenWidth / wanted, mostPixels, screenHeight - 1);
    Split(padded, fit.pad[0], fit.pad[1]);
  } else {
    padded = BestBand(screenWidth, screenHeight * wanted, mostPixels, screenWidth - 1);
    Split(padded, fit.pad[2], fit.pad[3]);
  }
  const double inner = double(screenWidth - fit.pad[2] - fit.pad[3]) / (screenHeight - fit.pad[0] - fit.pad[1]);

  // The pads at their limit and the source still too wide: crop its left
  // and right as shown; still too tall: its top and bottom. Cropping either
  // by a factor changes the proportion by the same factor.
  if (padded == 2 * mostPixels && std::abs(std::log(inner / wanted)) > 0.005) {
    // The stored side that the cut side is on a turned picture.
    const bool alongStoredWidth = letterbox != Turned(source);
    const int length = alongStoredWidth ? source.width : source.height;
    const double factor = letterbox ? inner / wanted : wanted / inner;
    const int band = BestBand(length, length * factor, mostPixels, length - 2);
    if (letterbox) Split(band, fit.crop[2], fit.crop[3]);
    else Split(band, fit.crop[0], fit.crop[1]);
  }
  fit.stretch = inner / ShownSourceProportion(source, fit.crop) - 1;
  if (std::abs(fit.stretch) < 1e-9) fit.stretch = 0;
  return fit;
}

std::string FitNote(double stretch) {
  if (std::abs(stretch) <= 0.02) return UiText("s118");
  const std::string percent = IntToText(std::lround(std::abs(stretch) * 100));
  return UiText(stretch > 0 ? "s119" : "s120", {percent, IntToText(kMostBandPixels)});
}
