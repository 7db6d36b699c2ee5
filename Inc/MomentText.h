#pragma once

#include <charconv>
#include <optional>
#include <string>
#include <vector>

// Reads a moment of a film: plain seconds ("75.5") or minutes and seconds
// ("1:15.5") or hours, minutes and seconds ("0:01:15.5"), as a user types it.
// Minutes and seconds after a colon stay below 60. Nothing for anything else,
// a negative moment included. Header-only, so that the encoder and the task
// editor accept exactly the same texts.
inline std::optional<double> ReadMoment(const std::string& text) {
  const auto readNumber = [](const std::string& field) -> std::optional<double> {
    double value = 0;
    const char* end = field.data() + field.size();
    const auto [stop, error] = std::from_chars(field.data(), end, value, std::chars_format::fixed);
    if (field.empty() || field[0] == '-' || field[0] == '+' || error != std::errc() || stop != end)
      return std::nullopt;
    return value;
  };
  std::vector<std::string> fields(1);
  for (char c : text) {
    if (c == ':') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  if (fields.size() > 3) return std::nullopt;
  double seconds = 0;
  for (size_t i = 0; i < fields.size(); ++i) {
    const std::optional<double> value = readNumber(fields[i]);
    if (!value) return std::nullopt;
    if (i > 0 && *value >= 60) return std::nullopt;
    // Only the last field may have a fraction: "1.5:00" is no moment.
    if (i + 1 < fields.size() && fields[i].find('.') != std::string::npos) return std::nullopt;
    seconds = seconds * 60 + *value;
  }
  if (!(seconds < 1e9)) return std::nullopt;
  return seconds;
}
