#pragma once

#include <array>
#include <string>

// Crop and pad values that keep a source's proportions on a player's screen.

// The most a task crops or pads on one edge.
inline constexpr int kMostBandPixels = 25;

// A source picture as the decoder gives it, and how it is to be shown.
struct SourcePicture {
  int width = 0;
  int height = 0;
  int aspectNum = 1;  // the width of one pixel relative to its height
  int aspectDen = 1;
  int rotation = 0;   // clockwise degrees the player turns it: 0, 90, 180 or 270
};

struct PictureFit {
  // Top, bottom, left, right, as the Task fields. Crop counts pixels of the
  // source as it is shown, after any rotation.
  std::array<int, 4> crop{};
  std::array<int, 4> pad{};
  // How much wider than the source's proportion the picture still shows:
  // 0.05 is 5% too wide, -0.05 5% too narrow; 0 when it fits exactly.
  double stretch = 0;
};

// Pads first (a letterbox or pillarbox); where the pads reach their limit,
// the smallest crop of the source's sides that closes the rest, or as close
// as the limits allow. A player's pixels are square.
PictureFit FitPicture(const SourcePicture& source, int screenWidth, int screenHeight, int mostPixels = kMostBandPixels);

// The proportion (width over height) of the upright source with this crop.
double ShownSourceProportion(const SourcePicture& source, const std::array<int, 4>& crop);

// What the preview says after Fit: that the proportions are kept (within 2%),
// or by how much the picture is still too wide or too narrow.
std::string FitNote(double stretch);
