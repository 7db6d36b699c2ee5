#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "encoder/input_media.h"
#include "encoder/options.h"

// The lines the encoder writes on stderr, in the classic form that batch
// front ends read: the input and its "Duration:" line, the output, progress
// lines with "time=" in plain seconds, and the closing size report.

// `partMicroseconds`, when given, is the play time of the part converted,
// which the duration line then gives in place of the whole file's.
std::string DescribeInput(const InputMedia& input, const std::string& path,
                          std::optional<int64_t> partMicroseconds = std::nullopt);
std::string DescribeOutput(const EncoderOptions& options);

struct ProgressFigures {
  int64_t frames = 0;
  double framesPerSecond = 0;  // conversion speed
  double quantiser = 0;
  uint64_t bytes = 0;
  double seconds = 0;  // position reached in the output
};

// One progress line, without its line end.
std::string FormatProgress(const ProgressFigures& figures);

std::string FormatSummary(uint64_t pictureBytes, uint64_t soundBytes, uint64_t fileBytes);

// How many pictures were read, decoded and written: the frame rate drops
// some pictures before they are decoded.
std::string FormatPictureCounts(int64_t read, int64_t decoded, int64_t written);
