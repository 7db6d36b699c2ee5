#pragma once

#include <string>
#include <vector>

#include "encoder/ffmpeg_handles.h"

// A sound or subtitle track a user may choose: a stream of the file, or a
// subtitle file beside it.
struct Track {
  int streamIndex = -1;  // -1 for a file beside the video
  std::string fileName;  // the file beside the video, without its folder
  std::string language;  // as the file tags it ("eng", "en"); "und" when it tells none
  std::string title;
  std::string codec;  // FFmpeg's name: "aac", "subrip", "ass"...
  bool isDefault = false;
};

// The file's streams of `type`, in file order. A cover picture is no track.
std::vector<Track> ListStreamTracks(const AVFormatContext& format, AVMediaType type);

// Text from a file made safe to print as part of one line: a control
// character could pose as a line of ours, so each shows as '?'.
std::string PrintableText(const std::string& text);
