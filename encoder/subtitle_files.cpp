#include "encoder/subtitle_files.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// FFmpeg's decoder name for a subtitle file's extension, or empty for another file.
std::string CodecOf(const std::string& extension) {
  const std::string lower = Lower(extension);
  if (lower == ".srt") return "subrip";
  if (lower == ".ass" || lower == ".ssa") return "ass";
  if (lower == ".vtt") return "webvtt";
  return {};
}

bool IsLanguageTag(const std::string& part) {
  return (part.size() == 2 || part.size() == 3) &&
         std::all_of(part.begin(), part.end(), [](unsigned char c) { return std::isalpha(c); });
}

// "en.forced" gives "en"; "forced" gives "und".
std::string LanguageOf(const std::string& middle) {
  size_t begin = 0;
  while (begin <= middle.size()) {
    const size_t end = std::min(middle.find('.', begin), middle.size());
    const std::string part = middle.substr(begin, end - begin);
    if (IsLanguageTag(part)) return Lower(part);
    begin = end + 1;
  }
  return "und";
}

bool HasControlCharacter(const std::string& name) {
  return std::any_of(name.begin(), name.end(), [](unsigned char c) { return c < 0x20 || c == 0x7f; });
}

}  // namespace

std::vector<Track> ListSubtitleFiles(const std::string& videoPath) {
  namespace fs = std::filesystem;
  const fs::path video(videoPath);
  const std::string stem = video.stem().string();
  const fs::path folder = video.has_parent_path() ? video.parent_path() : fs::path(".");
  std::vector<Track> files;
  std::error_code error;
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
    const fs::path path = entry->path();
    const std::string name = path.filename().string();
    const std::string codec = CodecOf(path.extension().string());
    if (codec.empty() || HasControlCharacter(name) || name.size() <= stem.size() + 1 ||
        name.compare(0, stem.size() + 1, stem + ".") != 0)
      continue;
    std::error_code typeError;
    if (!entry->is_regular_file(typeError)) continue;
    const size_t middleBegin = stem.size() + 1;
    const size_t middleEnd = name.size() - path.extension().string().size();
    Track track;
    track.fileName = name;
    track.codec = codec;
    track.language = middleEnd > middleBegin ? LanguageOf(name.substr(middleBegin, middleEnd - middleBegin)) : "und";
    files.push_back(std::move(track));
  }
  std::sort(files.begin(), files.end(), [](const Track& a, const Track& b) { return a.fileName < b.fileName; });
  return files;
}
