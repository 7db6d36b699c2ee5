#include "encoder/audio_timeline.h"

#include <algorithm>
#include <cstdlib>

void AudioTimeline::Put(int64_t position, std::vector<int16_t> samples) {
  if (end_ != INT64_MIN) {
    if (std::llabs(position - end_) <= tolerance_) position = end_;
    if (position < end_) {
      const int64_t overlap = end_ - position;
      if (overlap >= static_cast<int64_t>(samples.size())) return;
      samples.erase(samples.begin(), samples.begin() + overlap);
      position = end_;
    }
  }
  if (samples.empty()) return;
  end_ = position + static_cast<int64_t>(samples.size());
  segments_.push_back({position, std::move(samples)});
}

void AudioTimeline::Take(int64_t begin, int64_t end, std::vector<int16_t>& out) {
  out.assign(static_cast<size_t>(std::max<int64_t>(0, end - begin)), 0);
  for (const Segment& segment : segments_) {
    const int64_t segmentEnd = segment.position + static_cast<int64_t>(segment.samples.size());
    if (segment.position >= end) break;
    const int64_t from = std::max(begin, segment.position);
    const int64_t to = std::min(end, segmentEnd);
    if (from < to)
      std::copy(segment.samples.begin() + (from - segment.position), segment.samples.begin() + (to - segment.position),
                out.begin() + (from - begin));
  }
  while (!segments_.empty() &&
         segments_.front().position + static_cast<int64_t>(segments_.front().samples.size()) <= end)
    segments_.pop_front();
}
