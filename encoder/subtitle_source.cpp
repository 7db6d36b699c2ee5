#include "encoder/subtitle_source.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "encoder/language_codes.h"
#include "encoder/plain_file.h"
#include "encoder/subtitle_files.h"
#include "encoder/track_list.h"

namespace {

std::string Described(const Track& track) { return " (" + track.language + ", " + track.codec + ")"; }

}  // namespace

Failure FindSubtitleSource(const AVFormatContext& video, const std::string& videoPath, const TrackChoice& choice,
                           const std::string& file, SubtitleSource& source, std::string& note) {
  source = {};
  note.clear();
  if (!file.empty()) {
    if (Failure failure = RefuseIfNotAFile(file)) return failure;
    std::FILE* opened = std::fopen(file.c_str(), "rb");
    if (!opened) return file + ": the subtitle file cannot be read (" + ErrorText(AVERROR(errno)) + ").";
    std::fclose(opened);
    source = {file, -1, "file " + std::filesystem::path(file).filename().string()};
    return std::nullopt;
  }
  if (!choice.Given()) return std::nullopt;
  const std::vector<Track> tracks = ListStreamTracks(video, AVMEDIA_TYPE_SUBTITLE);
  TrackPick pick;
  if (Failure failure = PickTrack(tracks, choice, "subtitle", pick)) return videoPath + ": " + *failure;
  if (pick.track) {
    const size_t number = static_cast<size_t>(pick.track - tracks.data()) + 1;
    source = {videoPath, pick.track->streamIndex, "track " + std::to_string(number) + Described(*pick.track)};
    return std::nullopt;
  }
  const std::filesystem::path folder = std::filesystem::path(videoPath).parent_path();
  for (const Track& beside : ListSubtitleFiles(videoPath)) {
    if (!SameLanguage(beside.language, choice.language)) continue;
    source = {(folder / beside.fileName).string(), -1, "file " + beside.fileName + Described(beside)};
    return std::nullopt;
  }
  note = "The file has no subtitles in language '" + choice.language + "'; it is converted without subtitles.";
  return std::nullopt;
}
