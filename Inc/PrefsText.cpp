#include "Inc/PrefsText.h"

#include <algorithm>

#include "Inc/TextUtil.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

PrefsLine ParseLine(std::string_view line) {
  std::size_t start = 0;
  while (start < line.size() && IsBlank(line[start])) ++start;
  line.remove_prefix(start);
  if (line.front() == ';') {
    line.remove_prefix(1);
    if (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    return {PrefsLineKind::Comment, {}, line};
  }
  if (line.front() == '[') {
    line.remove_prefix(1);
    return {PrefsLineKind::GroupHeader, line.substr(0, line.find(']')), {}};
  }
  const std::size_t equals = line.find('=');
  std::string_view key = line.substr(0, equals);
  while (!key.empty() && IsBlank(key.back())) key.remove_suffix(1);
  std::string_view value;
  if (equals != std::string_view::npos) {
    value = line.substr(equals + 1);
    while (!value.empty() && IsBlank(value.front())) value.remove_prefix(1);
  }
  return {PrefsLineKind::Entry, key, value};
}

// Length of the UTF-8 sequence a lead byte starts, 0 for a byte that cannot lead one.
std::size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// Rejects overlong forms, surrogates and code points above U+10FFFF.
bool SecondByteAllowed(unsigned char lead, unsigned char second) {
  switch (lead) {
    case 0xE0: return second >= 0xA0 && second <= 0xBF;
    case 0xED: return second >= 0x80 && second <= 0x9F;
    case 0xF0: return second >= 0x90 && second <= 0xBF;
    case 0xF4: return second >= 0x80 && second <= 0x8F;
    default: return second >= 0x80 && second <= 0xBF;
  }
}

bool IsContinuation(unsigned char c) { return c >= 0x80 && c <= 0xBF; }

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

PrefsText ParsePrefsText(std::string_view content) {
  PrefsText text;
  text.utf8 = content.starts_with(kByteOrderMark);
  if (text.utf8) content.remove_prefix(kByteOrderMark.size());
  std::vector<PrefsLine>& lines = text.lines;
  std::size_t pos = 0;
  while (pos < content.size()) {
    pos = content.find_first_not_of("\r\n", pos);
    if (pos == std::string_view::npos) break;
    const std::size_t end = content.find_first_of("\r\n", pos);
    const std::string_view line = content.substr(pos, end - pos);
    if (line.find_first_not_of(" \t") != std::string_view::npos) lines.push_back(ParseLine(line));
    pos = end;
  }
  return text;
}

std::string FormatPrefsText(const std::vector<PrefsLine>& lines, bool utf8) {
  std::string text;
  // A document without the mark whose first line starts with the mark's bytes
  // keeps a blank line first, or it would read as UTF-8 the next time.
  if (utf8) text = std::string(kByteOrderMark) + "\r\n";
  const auto start = [&](std::string_view first) {
    if (!utf8 && text.empty() && first.starts_with(kByteOrderMark)) text = "\r\n";
  };
  for (const PrefsLine& line : lines) {
    switch (line.kind) {
      case PrefsLineKind::GroupHeader:
        text.append("[").append(line.name).append("]");
        break;
      case PrefsLineKind::Comment:
        text.append("; ").append(line.value);
        break;
      case PrefsLineKind::Entry:
        start(line.name);
        text.append(line.name).append(" = ").append(line.value);
        break;
    }
    text += "\r\n";
  }
  return text;
}

bool SamePrefsName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

std::string ValueFromUtf8(std::string_view value) {
  std::size_t i = 0;
  while (i < value.size()) {
    const auto lead = static_cast<unsigned char>(value[i]);
    const std::size_t length = SequenceLength(lead);
    if (length == 0) return {};
    const std::size_t available = std::min(length, value.size() - i);
    if (available > 1 && !SecondByteAllowed(lead, static_cast<unsigned char>(value[i + 1]))) return {};
    for (std::size_t k = 2; k < available; ++k)
      if (!IsContinuation(static_cast<unsigned char>(value[i + k]))) return {};
    if (available < length) return std::string(value.substr(0, i));
    i += length;
  }
  return std::string(value);
}

std::string TrimSpacesAndTabs(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t");
  return std::string(text.substr(first, last - first + 1));
}
