#pragma once

#include <string>
#include <vector>

// What the encoder's -probe tells of a source, for the editor's Sound and
// Subtitles lists: its play time and its tracks, numbered as the encoder's
// -sound and -subs options count them.

enum class TrackKind { Sound, Subtitle, SubtitleFile };

struct SourceTrack {
  TrackKind kind = TrackKind::Sound;
  int number = 0;        // from 1 among the tracks (or files) of its kind
  std::string language;  // as the file tags it ("eng", "en"); "und" when it tells none
  std::string codec;     // FFmpeg's name: "aac", "subrip"...
  bool isDefault = false;
  std::string title;  // may be empty
  std::string name;   // a subtitle file's name beside the video
};

struct SourceTracks {
  std::string input;            // the file described
  double durationSeconds = -1;  // -1 when the file does not tell
  std::vector<SourceTrack> tracks;
};

// Takes one line of the probe's answer: a track line, or the duration line
// ("  Duration: 00:01:30.50, start: ..."). Other lines change nothing. A
// title or a file name runs to the line's end, commas and all.
void ReadProbeLine(SourceTracks& source, const std::string& line);
