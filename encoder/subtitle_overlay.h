#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "encoder/ffmpeg_handles.h"
#include "encoder/input_media.h"
#include "encoder/options.h"
#include "encoder/picture_pipeline.h"
#include "encoder/picture_subtitles.h"
#include "encoder/subtitle_layer.h"
#include "encoder/subtitle_source.h"
#include "encoder/text_subtitles.h"

// The subtitles burned into the output: read from their source as the
// pictures advance, decoded with FFmpeg, and drawn over every output frame,
// text by libass, pictures scaled as the film's picture is.
class SubtitleOverlay {
 public:
  // Opens `source` of the opened `film`, whose attached fonts serve the text
  // and whose mended clock the subtitles follow. A subtitle file counts its
  // time from the film's moment 0. Picture subtitles that give no canvas
  // size of their own are laid on a canvas of the picture's size.
  Failure Open(const SubtitleSource& source, const InputMedia& film, int canvasWidth, int canvasHeight);

  // Before the first Advance: leaves out reading what ends long before
  // `seconds` on the film's clock, where the source can seek.
  void SeekNear(double seconds);

  // Brings the subtitles to `seconds` on the film's mended clock, for a
  // picture placed as `area` says; `changed` tells whether what shows
  // differs from the last call. A damaged subtitle is skipped; reading stops
  // at the first read error, as at the end of the source.
  Failure Advance(double seconds, const PictureArea& area, bool& changed);

  bool Showing() const { return !layer_.Empty(); }
  // Draws what shows at the last Advance over a frame of the output's size.
  void Draw(AVFrame& frame) const { layer_.BlendOnto(frame); }

 private:
  // A decoded subtitle on its source's clock, waiting until the film's
  // reading passes its place in the file and tells how its stamps were mended.
  struct Decoded {
    int64_t position;
    double start;
    std::optional<double> end;
    std::vector<std::string> lines;     // text: the dialogue lines
    PictureSubtitles::Picture picture;  // or the bitmaps
  };

  Failure ReadUntil(double seconds);
  void Take(const AVSubtitle& subtitle, const AVPacket& packet);
  // On the film's mended clock: the stamps of the source at `position`.
  double Shift(int64_t position) const;
  void Place(double seconds);

  const InputMedia* film_ = nullptr;
  InputPtr format_;
  CodecContextPtr decoder_;
  const AVStream* stream_ = nullptr;
  bool seekable_ = false;
  double offset_ = 0;  // where a subtitle file's moment 0 stands on the film's clock
  int canvasWidth_ = 0;
  int canvasHeight_ = 0;
  std::optional<double> reached_;  // where the packets read so far start, on the film's clock
  bool ended_ = false;
  std::deque<Decoded> waiting_;
  std::unique_ptr<TextSubtitles> text_;  // null for picture subtitles
  PictureSubtitles pictures_;
  SubtitleLayer layer_;
};

// The moment on the film's clock whose subtitles the output frame at `moment`
// shows. A subtitle belongs to the nearest frame, as a picture does, so a
// line that starts with the film's first picture, a little after the clock's
// origin, is on the first frame too.
inline double SubtitleMoment(double moment, int fps) { return moment + 0.5 / fps - 1e-6; }

// Opens the subtitles the options ask for, if any, into `overlay` (left
// null when there are none to burn in). `line` tells the log which ones, or
// why none are.
Failure OpenChosenSubtitles(const InputMedia& input, const EncoderOptions& options,
                            std::unique_ptr<SubtitleOverlay>& overlay, std::string& line);
