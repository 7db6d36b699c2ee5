#pragma once

#include <memory>
#include <string>
#include <vector>

#include "encoder/failure.h"
#include "encoder/picture_pipeline.h"
#include "encoder/subtitle_layer.h"

struct ass_library;
struct ass_renderer;
struct ass_track;

// Text subtitles drawn with libass at the output's own size, never smaller
// than a player's small screen can show legibly.
class TextSubtitles {
 public:
  TextSubtitles();
  ~TextSubtitles();
  TextSubtitles(const TextSubtitles&) = delete;
  TextSubtitles& operator=(const TextSubtitles&) = delete;

  // The script header (styles, play resolution) the decoder gives, and the
  // fonts a Matroska file carries as attachments; before the first Draw.
  Failure Open(const std::string& header, const AVFormatContext& fontSource);

  // One dialogue line as FFmpeg's decoders give it ("ReadOrder,Layer,Style,...").
  void AddEvent(const std::string& line, int64_t startMilliseconds, int64_t durationMilliseconds);

  // Paints what shows at `milliseconds` over a picture placed as `area` says,
  // if it differs from what the layer holds; `changed` tells whether it did.
  void Draw(int64_t milliseconds, const PictureArea& area, SubtitleLayer& layer, bool& changed);

 private:
  void Configure(const PictureArea& area);

  struct StyleSize {
    double fontSize;
    double outline;
  };

  struct LibraryFreer {
    void operator()(ass_library* library) const;
  };
  struct RendererFreer {
    void operator()(ass_renderer* renderer) const;
  };
  struct TrackFreer {
    void operator()(ass_track* track) const;
  };
  // The renderer and the track belong to the library: declared after it, they go first.
  std::unique_ptr<ass_library, LibraryFreer> library_;
  std::unique_ptr<ass_renderer, RendererFreer> renderer_;
  std::unique_ptr<ass_track, TrackFreer> track_;
  std::vector<StyleSize> scriptSizes_;  // the styles' own sizes, before the minimum raises them
  PictureArea area_;
  bool configured_ = false;
};
