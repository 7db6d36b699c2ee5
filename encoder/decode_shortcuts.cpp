#include "encoder/decode_shortcuts.h"

bool ShrinksToHalfOrLess(int source_width, int source_height, const EncoderOptions& options) {
  const int shown_width = source_width - options.crop.left - options.crop.right;
  const int shown_height = source_height - options.crop.top - options.crop.bottom;
  const int inner_width = options.width - options.pad.left - options.pad.right;
  const int inner_height = options.height - options.pad.top - options.pad.bottom;
  if (shown_width <= 0 || shown_height <= 0) return false;
  return 2 * inner_width <= shown_width && 2 * inner_height <= shown_height;
}
