#pragma once

#include <string>

#include "encoder/ffmpeg_handles.h"
#include "encoder/track_choice.h"

// Where the subtitles to burn in come from: a subtitle stream of the video
// itself, or a subtitle file.
struct SubtitleSource {
  std::string path;      // empty: no subtitles
  int streamIndex = -1;  // the stream within the video; -1 in a subtitle file
  std::string name;      // how the log names it: "track 2 (fre, ass)", "file film.en.srt"
};

// Finds the subtitles `-subs` (`choice`) or `-subfile` (`file`) ask for in
// the video at `videoPath`. A number names a subtitle track of the video; a
// language a track in it (the default-flagged one first) or else a file
// beside it. A language found nowhere gives no subtitles and a `note` that
// says so; a number beyond the tracks, or a file that cannot be read, fails.
Failure FindSubtitleSource(const AVFormatContext& video, const std::string& videoPath, const TrackChoice& choice,
                           const std::string& file, SubtitleSource& source, std::string& note);
