#pragma once

// The share of a two-part splitter that its lower part keeps while the
// splitter changes height: the ratio (height - bar) / lower is fixed when the
// position is set or the bar is dragged, and every new height gives the lower
// part (new height - bar) / ratio, the upper part the rest.
class SplitterProportion {
 public:
  explicit SplitterProportion(int barHeight) : barHeight_(barHeight) {}

  // Remembers the ratio of the moment; a splitter with no room for its parts
  // teaches nothing and keeps the previous ratio.
  void Remember(int splitterHeight, int lowerHeight);

  // The lower part's height for a splitter of newHeight pixels, never negative
  // and never more than the room there is.
  int LowerHeight(int newHeight) const;

 private:
  int barHeight_;
  // The ratio kept as the exact fraction room / lower, so the integer part is exact.
  long long room_ = 0;
  long long lower_ = 0;
};
