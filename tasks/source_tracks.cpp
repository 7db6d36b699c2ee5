#include "tasks/source_tracks.h"

#include <charconv>
#include <optional>
#include <string_view>

#include "Inc/MomentText.h"

namespace {

// Reads `expected` at the front of `rest` and moves past it.
bool Skip(std::string_view& rest, std::string_view expected) {
  if (!rest.starts_with(expected)) return false;
  rest.remove_prefix(expected.size());
  return true;
}

bool SkipNumber(std::string_view& rest, int& number) {
  const auto [stop, error] = std::from_chars(rest.data(), rest.data() + rest.size(), number);
  if (error != std::errc() || number < 0) return false;
  rest.remove_prefix(static_cast<std::size_t>(stop - rest.data()));
  return true;
}

// The text up to `end`, which must follow; language and codec hold no comma.
bool TakeUntil(std::string_view& rest, std::string_view end, std::string& taken) {
  const std::size_t at = rest.find(end);
  if (at == std::string_view::npos) return false;
  taken = rest.substr(0, at);
  rest.remove_prefix(at + end.size());
  return true;
}

// "Sound track 1: stream 1, language eng, codec aac, default yes[, title T]"
std::optional<SourceTrack> StreamTrack(std::string_view rest) {
  SourceTrack track;
  if (Skip(rest, "Subtitle track "))
    track.kind = TrackKind::Subtitle;
  else if (!Skip(rest, "Sound track "))
    return std::nullopt;
  int stream = 0;
  if (!SkipNumber(rest, track.number) || !Skip(rest, ": stream ") || !SkipNumber(rest, stream) ||
      !Skip(rest, ", language ") || !TakeUntil(rest, ", codec ", track.language) ||
      !TakeUntil(rest, ", default ", track.codec))
    return std::nullopt;
  if (Skip(rest, "yes"))
    track.isDefault = true;
  else if (!Skip(rest, "no"))
    return std::nullopt;
  if (Skip(rest, ", title "))
    track.title = rest;
  else if (!rest.empty())
    return std::nullopt;
  return track;
}

// "Subtitle file 1: language en, codec subrip, name film.en.srt"
std::optional<SourceTrack> FileTrack(std::string_view rest) {
  SourceTrack track;
  track.kind = TrackKind::SubtitleFile;
  if (!Skip(rest, "Subtitle file ") || !SkipNumber(rest, track.number) || !Skip(rest, ": language ") ||
      !TakeUntil(rest, ", codec ", track.language) || !TakeUntil(rest, ", name ", track.codec) || rest.empty())
    return std::nullopt;
  track.name = rest;
  return track;
}

}  // namespace

void ReadProbeLine(SourceTracks& source, const std::string& line) {
  std::string_view rest = line;
  if (Skip(rest, "  Duration: ")) {
    std::string clock;
    if (TakeUntil(rest, ", start: ", clock))
      if (const std::optional<double> seconds = ReadMoment(clock)) source.durationSeconds = *seconds;
    return;
  }
  std::optional<SourceTrack> track = StreamTrack(rest);
  if (!track) track = FileTrack(rest);
  if (track) source.tracks.push_back(*track);
}
