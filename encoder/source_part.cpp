#include "encoder/source_part.h"

#include <algorithm>
#include <cstdio>

namespace {

double Seconds(int64_t stamp, AVRational timeBase) { return stamp * av_q2d(timeBase); }

}  // namespace

double SourceOrigin(const InputMedia& input) {
  const AVStream& video = *input.VideoStream();
  double origin = video.start_time == AV_NOPTS_VALUE ? 0 : video.start_time * input.VideoTick();
  if (const AVStream* sound = input.AudioStream(); sound && sound->start_time != AV_NOPTS_VALUE)
    origin = std::min(origin, Seconds(sound->start_time, sound->time_base));
  return origin;
}

SourcePart::SourcePart(std::optional<double> fromSeconds, std::optional<double> toSeconds)
    : from_(fromSeconds > 0.0 ? fromSeconds : std::nullopt), to_(toSeconds) {}

Failure SourcePart::Locate(InputMedia& input) {
  const double origin = SourceOrigin(input);
  begin_ = origin + from_.value_or(0);
  if (to_) end_ = origin + *to_;
  const int64_t duration = input.Format()->duration;
  if (from_ && duration != AV_NOPTS_VALUE && *from_ >= duration / double(AV_TIME_BASE)) {
    char line[160];
    std::snprintf(line, sizeof line, "The video ends at %.2f s; there is nothing to convert from %.2f s.",
                  duration / double(AV_TIME_BASE), *from_);
    return std::string(line);
  }
  if (from_) input.SeekVideoBefore(begin_);
  return std::nullopt;
}

std::optional<int64_t> SourcePart::Duration(const AVFormatContext& format) const {
  if (format.duration == AV_NOPTS_VALUE) return std::nullopt;
  const double whole = format.duration / double(AV_TIME_BASE);
  const double part = std::min(whole, to_.value_or(whole)) - from_.value_or(0);
  return static_cast<int64_t>(std::max(0.0, part) * AV_TIME_BASE + 0.5);
}
