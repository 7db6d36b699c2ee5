#pragma once

#include <optional>
#include <string>
#include <vector>

#include "encoder/track_choice.h"

// Pixel bands on the four edges of a picture.
struct Bands {
  int top = 0;
  int bottom = 0;
  int left = 0;
  int right = 0;

  bool operator==(const Bands&) const = default;
};

// What one conversion is asked to do, as read from the command line.
struct EncoderOptions {
  std::string inputPath;
  std::string outputPath;
  int volume = 256;  // 256 keeps the level unchanged
  Bands crop;
  Bands pad;
  int width = 0;
  int height = 0;
  int fps = 0;
  int qmin = 3;
  int qmax = 5;
  // Set by "-keepaspect 1": bars inside the pads keep the source's proportions.
  bool keepProportions = false;
  // Set by "-preview SECONDS": write the picture shown at that moment instead of converting.
  std::optional<double> previewSeconds;
  // Decode every picture whole, even where the output cannot show the difference.
  bool fullDecode = false;
  // Set by "-probe PATH": list the source's tracks instead of converting.
  bool probe = false;
  // "-sound N|LANG": the sound track to convert instead of the default one.
  TrackChoice sound;
  // "-subs N|LANG": the subtitle track (or file beside the video) to burn in.
  TrackChoice subtitles;
  // "-subfile PATH": a subtitle file to burn in, wherever it lies.
  std::string subtitleFile;
  // "-ss MOMENT" and "-to MOMENT": convert only this part, counted from the start.
  std::optional<double> partFrom;
  std::optional<double> partTo;
};

struct ParsedOptions {
  EncoderOptions options;
  std::string error;  // empty when the line was understood
};

// Reads the argument vector without the program name: "-i PATH", "-vol N",
// "-croptop N" ... "-padright N", "-f amv", "-s WxH", "-r N", "-ac 1",
// "-ar 22050", "-qmin N", "-qmax N", "-keepaspect 0|1", "-preview SECONDS",
// "-decode full|auto", "-sound N|LANG", "-subs N|LANG", "-subfile PATH",
// "-ss MOMENT", "-to MOMENT" in any
// order, then the output path; or "-probe PATH" alone.
ParsedOptions ParseArguments(const std::vector<std::string>& arguments);
