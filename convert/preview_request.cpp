#include "convert/preview_request.h"

#include <charconv>
#include <cstdio>

#include "convert/encoder_arguments.h"

namespace {

// Fixed-point seconds whatever the user's locale: the encoder reads a point.
std::string SecondsText(double seconds) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, seconds, std::chars_format::fixed, 3);
  return std::string(text, result.ptr);
}

}  // namespace

std::vector<std::string> PreviewArgumentVector(const Task& task, double seconds, const std::string& picturePath) {
  std::vector<std::string> args = EncoderArgumentVector(task);
  args.back() = picturePath;
  args.insert(args.begin(), {"-preview", SecondsText(seconds)});
  return args;
}

ScreenSize TaskScreenSize(const Task& task) {
  const std::vector<std::string> args = EncoderArgumentVector(task);
  ScreenSize size;
  for (size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == "-s") std::sscanf(args[i + 1].c_str(), "%dx%d", &size.width, &size.height);
  return size;
}

std::optional<PreviewSource> ParsePreviewSourceLine(const std::string& line) {
  PreviewSource source;
  SourcePicture& p = source.picture;
  int durationAt = 0;
  if (std::sscanf(line.c_str(), "Preview source: %dx%d, aspect %d:%d, rotation %d, duration %n", &p.width, &p.height,
                  &p.aspectNum, &p.aspectDen, &p.rotation, &durationAt) != 5 ||
      durationAt == 0)
    return std::nullopt;
  const char* end = line.data() + line.size();
  const auto result = std::from_chars(line.data() + durationAt, end, source.durationSeconds);
  if (result.ec != std::errc() || result.ptr != end) return std::nullopt;
  return source;
}
