#include "app/splitter_proportion.h"

#include <algorithm>

void SplitterProportion::Remember(int splitterHeight, int lowerHeight) {
  const int room = splitterHeight - barHeight_;
  if (room <= 0) return;
  room_ = room;
  lower_ = std::clamp(lowerHeight, 0, room);
}

int SplitterProportion::LowerHeight(int newHeight) const {
  const long long room = std::max(0, newHeight - barHeight_);
  if (room_ == 0) return 0;
  return static_cast<int>(room * lower_ / room_);
}
