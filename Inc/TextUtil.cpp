#include "Inc/TextUtil.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

std::string Field(const std::string& text, const std::string& separator, int n) {
  if (n < 1) return {};
  if (separator.empty()) return n == 1 ? text : std::string();
  const char sep = separator[0];
  std::size_t start = 0;
  for (int field = 1; field < n; ++field) {
    const auto next = text.find(sep, start);
    if (next == std::string::npos) return {};
    start = next + 1;
  }
  const auto end = text.find(sep, start);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string RemoveText(const std::string& text, const std::string& part, bool ignoreCase) {
  if (part.empty()) return text;
  const std::string haystack = ignoreCase ? AsciiUpper(text) : text;
  const std::string needle = ignoreCase ? AsciiUpper(part) : part;
  std::string result;
  std::size_t pos = 0;
  for (;;) {
    const auto found = haystack.find(needle, pos);
    if (found == std::string::npos) break;
    result.append(text, pos, found - pos);
    pos = found + part.size();
  }
  result.append(text, pos, std::string::npos);
  return result;
}

int32_t DecimalValue(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > std::numeric_limits<int32_t>::max() + 1LL) value = std::numeric_limits<int32_t>::max() + 1LL;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

// Read and written with <charconv>, which ignores the locale: under a locale
// with a decimal comma the C library would stop at the point and print a comma.
float NumberValue(const std::string& text) {
  auto digit = [&](std::size_t i) { return i < text.size() && text[i] >= '0' && text[i] <= '9'; };
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const std::size_t start = i;
  bool anyDigit = false;
  while (digit(i)) { ++i; anyDigit = true; }
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (digit(i)) { ++i; anyDigit = true; }
  }
  if (!anyDigit) return 0.0f;
  std::size_t end = i;
  bool tinyExponent = false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t e = i + 1;
    tinyExponent = e < text.size() && text[e] == '-';
    if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
    if (digit(e)) {
      while (digit(e)) ++e;
      end = e;
    }
  }
  double value = 0.0;
  const auto [stop, error] = std::from_chars(text.data() + start, text.data() + end, value);
  (void)stop;
  if (error == std::errc::result_out_of_range)
    value = tinyExponent ? 0.0 : std::numeric_limits<double>::infinity();
  return static_cast<float>(negative ? -value : value);
}

std::string IntToText(long long value) { return std::to_string(value); }

std::string OneDecimalText(double value) {
  const double tenths = std::round(value * 10.0);  // std::round takes halves away from zero
  char buffer[400];
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, tenths / 10.0, std::chars_format::fixed, 1);
  if (error != std::errc{}) return {};
  return std::string(buffer, end);
}

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 0x20) : c; }

std::string AsciiUpper(std::string text) {
  for (char& c : text) c = AsciiUpper(c);
  return text;
}

std::string AsciiLower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 0x20);
  return text;
}

std::string WithTrailingSlash(std::string directory) {
  if (directory.empty() || directory.back() != '/') directory += '/';
  return directory;
}

// Whole seconds as H:MM:SS; absurd times stop at a million hours.
std::string ClockText(float seconds) {
  const auto whole = static_cast<long long>(std::floor(std::min(static_cast<double>(seconds), 3.6e9)));
  const auto twoDigits = [](long long n) { return (n < 10 ? "0" : "") + IntToText(n); };
  return IntToText(whole / 3600) + ":" + twoDigits(whole / 60 % 60) + ":" + twoDigits(whole % 60);
}
