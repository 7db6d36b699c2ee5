#include "convert/encoder_output_parser.h"

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
    parser.duration = ClockSeconds(Trim(RemoveText(Field(line, ",", 1), "Duration: ", true)));
  } else if (IsProgressLine(line)) {
    const std::string position = line.substr(line.find("time=") + 5);
    parser.time = ClockSeconds(Trim(Field(position, "bitrate=", 1)));
  }
  // No duration yet, or an unknown one (N/A reads 0): no honest percentage.
  if (parser.duration <= 0.0f) return std::nullopt;
  const auto percentage = static_cast<float>(static_cast<double>(parser.time) / parser.duration * 100.0);
  if (!(percentage >= 0.0f)) return std::nullopt;
  return OneDecimalText(static_cast<double>(percentage)) + "% ready";
}
