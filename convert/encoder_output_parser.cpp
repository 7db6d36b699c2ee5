#include "convert/encoder_output_parser.h"

#include <algorithm>
#include <cmath>

#include "Inc/TextUtil.h"

namespace {

// "HH:MM:SS.cc" as seconds; a text without colons is plain seconds.
float ClockSeconds(const std::string& text) {
  if (!Contains(text, ":")) return NumberValue(text);
  const float hours = NumberValue(Field(text, ":", 1));
  const float minutes = NumberValue(Field(text, ":", 2));
  const float seconds = NumberValue(Field(text, ":", 3));
  return seconds + minutes * 60.0f + hours * 3600.0f;
}

// A time before the start (the encoder prints -0.00 before its first frame)
// counts as 0; the sign of "-00:00:05.00" belongs to the whole clock. A time
// too large for a number (time=1e39) tells nothing: the stored one stays.
void ReadSeconds(const std::string& text, float& stored) {
  if (text.starts_with('-')) {
    stored = 0.0f;
    return;
  }
  const float seconds = ClockSeconds(text);
  if (std::isfinite(seconds)) stored = std::max(0.0f, seconds);
}

bool IsDurationLine(const std::string& line) {
  return Contains(line, "Duration:") && Contains(line, "start:") && Contains(line, "bitrate:");
}

bool IsProgressLine(const std::string& line) {
  return Contains(line, "frame=") && Contains(line, "fps=") && Contains(line, "time=") &&
         Contains(line, "bitrate=");
}

}  // namespace

std::optional<std::string> ParseEncoderLine(EncoderOutputParser& parser, const std::string& line) {
  if (IsDurationLine(line)) {
    ReadSeconds(Trim(RemoveText(Field(line, ",", 1), "Duration: ", true)), parser.duration);
  } else if (IsProgressLine(line)) {
    const std::string position = line.substr(line.find("time=") + 5);
    ReadSeconds(Trim(Field(position, "bitrate=", 1)), parser.time);
    parser.timeKnown = true;
  }
  if (parser.duration < 0.0f) return std::nullopt;
  // An unknown duration (N/A reads 0) allows no honest percentage, but the
  // time converted so far still shows the conversion moving.
  if (parser.duration == 0.0f) return parser.timeKnown ? std::optional(ClockText(parser.time)) : std::nullopt;
  // Past the end, or over a vanishing duration, the task is done, never more.
  const double percentage = static_cast<double>(parser.time) / parser.duration * 100.0;
  if (!(percentage >= 0.0)) return std::nullopt;
  return OneDecimalText(static_cast<double>(static_cast<float>(std::min(percentage, 100.0)))) + "% ready";
}
