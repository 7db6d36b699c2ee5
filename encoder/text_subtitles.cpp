#include "encoder/text_subtitles.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>

extern "C" {
#include <ass/ass.h>
#include <libavutil/dict.h>
}

namespace {

// The smallest a line may be, in output pixels, as libass counts a font's
// size (ascent and descent together): capitals of a common sans font then
// stand 8 pixels high, which a 2-inch 160x120 screen still shows legibly.
constexpr double kLeastFontPixels = 13;
// A dark rim of at least a pixel keeps letters apart from a bright picture.
constexpr double kLeastOutlinePixels = 1;

// libass's own choice when a script leaves its play height out.
int PlayHeight(const ASS_Track& track) {
  if (track.PlayResY > 0) return track.PlayResY;
  if (track.PlayResX <= 0) return 288;
  return track.PlayResX == 1280 ? 1024 : std::max(1, track.PlayResX * 3 / 4);
}

void Quiet(int, const char*, va_list, void*) {}

bool IsFont(const AVStream& stream) {
  const AVDictionaryEntry* type = av_dict_get(stream.metadata, "mimetype", nullptr, 0);
  const AVDictionaryEntry* name = av_dict_get(stream.metadata, "filename", nullptr, 0);
  if (type && (std::strstr(type->value, "font") || std::strstr(type->value, "opentype"))) return true;
  if (!name) return false;
  const std::string lower = [&] {
    std::string text = name->value;
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
  }();
  for (const char* extension : {".ttf", ".otf", ".ttc"})
    if (lower.size() > 4 && lower.compare(lower.size() - 4, 4, extension) == 0) return true;
  return false;
}

}  // namespace

void TextSubtitles::LibraryFreer::operator()(ass_library* library) const { ass_library_done(library); }
void TextSubtitles::RendererFreer::operator()(ass_renderer* renderer) const { ass_renderer_done(renderer); }
void TextSubtitles::TrackFreer::operator()(ass_track* track) const { ass_free_track(track); }

TextSubtitles::TextSubtitles() = default;
TextSubtitles::~TextSubtitles() = default;

Failure TextSubtitles::Open(const std::string& header, const AVFormatContext& fontSource) {
  library_.reset(ass_library_init());
  if (!library_) return std::string("Cannot start the subtitle renderer (libass).");
  // Its remarks would bury the encoder's own lines.
  ass_set_message_cb(library_.get(), Quiet, nullptr);
  for (unsigned i = 0; i < fontSource.nb_streams; ++i) {
    const AVStream& stream = *fontSource.streams[i];
    if (stream.codecpar->codec_type != AVMEDIA_TYPE_ATTACHMENT || stream.codecpar->extradata_size <= 0 ||
        !IsFont(stream))
      continue;
    const AVDictionaryEntry* name = av_dict_get(stream.metadata, "filename", nullptr, 0);
    ass_add_font(library_.get(), name ? name->value : "attached", reinterpret_cast<char*>(stream.codecpar->extradata),
                 stream.codecpar->extradata_size);
  }
  renderer_.reset(ass_renderer_init(library_.get()));
  track_.reset(ass_new_track(library_.get()));
  if (!renderer_ || !track_) return std::string("Cannot start the subtitle renderer (libass).");
  ass_set_fonts(renderer_.get(), nullptr, "sans-serif", ASS_FONTPROVIDER_AUTODETECT, nullptr, 1);
  std::vector<char> text(header.begin(), header.end());
  if (!text.empty()) ass_process_codec_private(track_.get(), text.data(), static_cast<int>(text.size()));
  for (int i = 0; i < track_->n_styles; ++i)
    scriptSizes_.push_back({track_->styles[i].FontSize, track_->styles[i].Outline});
  return std::nullopt;
}

void TextSubtitles::AddEvent(const std::string& line, int64_t startMilliseconds, int64_t durationMilliseconds) {
  if (line.empty()) return;
  std::vector<char> text(line.begin(), line.end());
  ass_process_chunk(track_.get(), text.data(), static_cast<int>(text.size()), startMilliseconds, durationMilliseconds);
}

void TextSubtitles::Configure(const PictureArea& area) {
  const Bands& around = area.padded;
  const int innerWidth = area.frameWidth - around.left - around.right;
  const int innerHeight = area.frameHeight - around.top - around.bottom;
  ass_set_frame_size(renderer_.get(), area.frameWidth, area.frameHeight);
  ass_set_storage_size(renderer_.get(), innerWidth, innerHeight);
  ass_set_margins(renderer_.get(), around.top, around.bottom, around.left, around.right);
  // A pad below the picture is room for the text that would cover it.
  ass_set_use_margins(renderer_.get(), around.bottom > 0 || around.top > 0);
  // Letters keep their shape on the screen, however the picture is stretched.
  ass_set_pixel_aspect(renderer_.get(), 1.0);
  // Script units per output pixel: libass scales the script's play height to the picture's.
  const double unitsPerPixel = static_cast<double>(PlayHeight(*track_)) / std::max(1, innerHeight);
  for (int i = 0; i < track_->n_styles && i < static_cast<int>(scriptSizes_.size()); ++i) {
    ASS_Style& style = track_->styles[i];
    const double scaleY = style.ScaleY > 0 ? style.ScaleY : 1;
    style.FontSize = std::max(scriptSizes_[i].fontSize, kLeastFontPixels * unitsPerPixel / scaleY);
    const double outlineUnits = track_->ScaledBorderAndShadow ? unitsPerPixel : 1;
    style.Outline = std::max(scriptSizes_[i].outline, kLeastOutlinePixels * outlineUnits);
  }
  area_ = area;
  configured_ = true;
}

void TextSubtitles::Draw(int64_t milliseconds, const PictureArea& area, SubtitleLayer& layer, bool& changed) {
  const bool moved = !configured_ || !(area == area_);
  if (moved) Configure(area);
  int change = 0;
  const ASS_Image* images = ass_render_frame(renderer_.get(), track_.get(), milliseconds, &change);
  changed = moved || change != 0;
  if (!changed) return;
  layer.Reset(area.frameWidth, area.frameHeight);
  for (const ASS_Image* image = images; image; image = image->next) {
    const uint32_t colour = image->color;
    const YuvaColour yuva = FromRgba(colour >> 24, (colour >> 16) & 0xFF, (colour >> 8) & 0xFF, 255 - (colour & 0xFF));
    layer.PaintMask(image->dst_x, image->dst_y, image->w, image->h, image->bitmap, image->stride, yuva);
  }
}
