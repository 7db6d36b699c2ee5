#include "encoder/decode_shortcuts.h"

#include <utility>

bool ShrinksToHalfOrLess(int sourceWidth, int sourceHeight, int quarterTurns, const EncoderOptions& options) {
  const int shownWidth = sourceWidth - options.crop.left - options.crop.right;
  const int shownHeight = sourceHeight - options.crop.top - options.crop.bottom;
  int innerWidth = options.width - options.pad.left - options.pad.right;
  int innerHeight = options.height - options.pad.top - options.pad.bottom;
  // A picture turned a quarter fills the inner area's width with its height.
  if (quarterTurns % 2 != 0) std::swap(innerWidth, innerHeight);
  if (shownWidth <= 0 || shownHeight <= 0) return false;
  return 2 * innerWidth <= shownWidth && 2 * innerHeight <= shownHeight;
}
