#pragma once

#include <optional>

#include "encoder/input_media.h"

// The part of a source a conversion takes, from -ss and -to, counted from
// the source's start: its first picture, or its sound when that starts
// first, as the preview counts.
class SourcePart {
 public:
  SourcePart(std::optional<double> fromSeconds, std::optional<double> toSeconds);

  // Whether the whole source is taken; -ss 0 alone takes it whole as well.
  bool Whole() const { return !from_ && !to_; }

  // Places the part on the source's clock and moves to the last key picture
  // at or before its start, so that nothing before it is decoded. Fails when
  // the source ends before the part begins.
  Failure Locate(InputMedia& input);

  // On the source's own clock, once located.
  double Begin() const { return begin_; }
  // Whether a picture or sound starting at `seconds` lies past the part.
  bool After(double seconds) const { return end_ && seconds >= *end_; }
  // Where the output ends when the streams reached `reachedSeconds`.
  double EndBy(double reachedSeconds) const { return end_ ? std::min(*end_, reachedSeconds) : reachedSeconds; }

  // The part's play time in microseconds, for the duration line; nothing
  // when the source's own is unknown.
  std::optional<int64_t> Duration(const AVFormatContext& format) const;

 private:
  std::optional<double> from_;
  std::optional<double> to_;
  double begin_ = 0;
  std::optional<double> end_;
};

// Where moment 0 of a source stands on its own clock: at its first picture,
// or earlier when the sound starts first.
double SourceOrigin(const InputMedia& input);
