#include "encoder/decode_shortcuts.h"

#include <utility>

bool ShrinksToHalfOrLess(int source_width, int source_height, int quarter_turns, const EncoderOptions& options) {
  const int shown_width = source_width - options.crop.left - options.crop.right;
  const int shown_height = source_height - options.crop.top - options.crop.bottom;
  int inner_width = options.width - options.pad.left - options.pad.right;
  int inner_height = options.height - options.pad.top - options.pad.bottom;
  // A picture turned a quarter fills the inner area's width with its height.
  if (quarter_turns % 2 != 0) std::swap(inner_width, inner_height);
  if (shown_width <= 0 || shown_height <= 0) return false;
  return 2 * inner_width <= shown_width && 2 * inner_height <= shown_height;
}
