#include "encoder/moment_text.h"

#include <charconv>
#include <vector>

namespace {

std::optional<double> ReadNumber(const std::string& text) {
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
  if (text.empty() || text[0] == '-' || text[0] == '+' || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

}  // namespace

std::optional<double> ReadMoment(const std::string& text) {
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
    const std::optional<double> value = ReadNumber(fields[i]);
    if (!value) return std::nullopt;
    if (i > 0 && *value >= 60) return std::nullopt;
    // Only the last field may have a fraction: "1.5:00" is no moment.
    if (i + 1 < fields.size() && fields[i].find('.') != std::string::npos) return std::nullopt;
    seconds = seconds * 60 + *value;
  }
  if (!(seconds < 1e9)) return std::nullopt;
  return seconds;
}
