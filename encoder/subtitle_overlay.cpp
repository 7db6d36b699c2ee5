#include "encoder/subtitle_overlay.h"

#include <cmath>
#include <cstdint>

#include "encoder/failure_text.h"
#include "encoder/plain_file.h"
#include "encoder/rotation.h"
#include "encoder/source_part.h"

namespace {

// Packets of one stream interleave with the others' a little out of time
// order: reading this far ahead finds every subtitle that starts by a moment.
constexpr double kReadAheadSeconds = 3;
// A subtitle rarely shows longer than this: a seek lands this much earlier.
constexpr double kSeekBackSeconds = 30;
// How long a text whose end is not known shows.
constexpr double kUnknownTextSeconds = 5;

}  // namespace

Failure SubtitleOverlay::Open(const SubtitleSource& source, const InputMedia& film, int canvasWidth, int canvasHeight) {
  if (Failure failure = RefuseIfNotAFile(source.path)) return failure;
  AVFormatContext* opened = nullptr;
  AVDictionary* settings = nullptr;
  av_dict_set(&settings, "protocol_whitelist", "file", 0);
  int result = avformat_open_input(&opened, ("file:" + source.path).c_str(), nullptr, &settings);
  av_dict_free(&settings);
  // The film itself opened a moment ago; a subtitle file is told as such.
  if (result < 0 && source.streamIndex < 0)
    return source.path + ": the subtitle file cannot be read (" + ErrorText(result) + ").";
  if (result < 0) return ReadFailure(source.path, result);
  format_.reset(opened);
  // Files that list their streams only as they come (MPEG program streams)
  // number them in the order the film's first reading found them.
  if (opened->ctx_flags & AVFMTCTX_NOHEADER) {
    result = avformat_find_stream_info(opened, nullptr);
    if (result < 0) return ReadFailure(source.path, result);
  }
  const int index = source.streamIndex >= 0 ? source.streamIndex
                                            : av_find_best_stream(opened, AVMEDIA_TYPE_SUBTITLE, -1, -1, nullptr, 0);
  if (index < 0 || index >= static_cast<int>(opened->nb_streams) ||
      opened->streams[index]->codecpar->codec_type != AVMEDIA_TYPE_SUBTITLE)
    return source.path + ": no subtitles could be found in it.";
  stream_ = opened->streams[index];
  for (unsigned i = 0; i < opened->nb_streams; ++i)
    if (static_cast<int>(i) != index) opened->streams[i]->discard = AVDISCARD_ALL;
  seekable_ = source.streamIndex >= 0;
  // A stream of the film shares its clock and its mending; a file counts from the film's moment 0.
  if (seekable_)
    film_ = &film;
  else
    offset_ = SourceOrigin(film);

  const AVCodecID id = stream_->codecpar->codec_id;
  const AVCodec* codec = avcodec_find_decoder(id);
  const AVCodecDescriptor* descriptor = avcodec_descriptor_get(id);
  const bool text = descriptor && (descriptor->props & AV_CODEC_PROP_TEXT_SUB);
  const bool bitmap = descriptor && (descriptor->props & AV_CODEC_PROP_BITMAP_SUB);
  if (!codec || (!text && !bitmap))
    return source.path + ": subtitles of codec '" + avcodec_get_name(id) + "' cannot be burned in.";
  decoder_.reset(avcodec_alloc_context3(codec));
  if (!decoder_) return ErrorText(AVERROR(ENOMEM));
  result = avcodec_parameters_to_context(decoder_.get(), stream_->codecpar);
  if (result >= 0) {
    decoder_->pkt_timebase = stream_->time_base;
    result = avcodec_open2(decoder_.get(), codec, nullptr);
  }
  if (result < 0) return source.path + ": the subtitles cannot be decoded (" + ErrorText(result) + ").";
  canvasWidth_ = canvasWidth;
  canvasHeight_ = canvasHeight;
  if (!text) return std::nullopt;
  text_ = std::make_unique<TextSubtitles>();
  const char* header = reinterpret_cast<const char*>(decoder_->subtitle_header);
  return text_->Open(header ? std::string(header, static_cast<size_t>(decoder_->subtitle_header_size)) : std::string(),
                     *film.Format());
}

void SubtitleOverlay::SeekNear(double seconds) {
  const double target = seconds - kSeekBackSeconds;
  if (!seekable_ || target <= 0) return;
  if (av_seek_frame(format_.get(), -1, static_cast<int64_t>(target * AV_TIME_BASE), AVSEEK_FLAG_BACKWARD) < 0) return;
  avcodec_flush_buffers(decoder_.get());
}

double SubtitleOverlay::Shift(int64_t position) const { return film_ ? film_->ShiftAt(position) : offset_; }

void SubtitleOverlay::Take(const AVSubtitle& subtitle, const AVPacket& packet) {
  const int64_t stamp = packet.pts != AV_NOPTS_VALUE ? packet.pts : packet.dts;
  double base = 0;
  if (subtitle.pts != AV_NOPTS_VALUE)
    base = subtitle.pts / double(AV_TIME_BASE);
  else if (stamp != AV_NOPTS_VALUE)
    base = stamp * av_q2d(stream_->time_base);
  else
    return;
  Decoded decoded{packet.pos, base + subtitle.start_display_time / 1000.0, std::nullopt, {}, {}};
  // Picture subtitles that end with the next one give no end (0), or the
  // farthest (UINT32_MAX), which comes to the same.
  if (subtitle.end_display_time > subtitle.start_display_time) decoded.end = base + subtitle.end_display_time / 1000.0;
  if (!text_) {
    const bool ownCanvas = decoder_->width > 0 && decoder_->height > 0;
    decoded.picture = PictureSubtitles::Read(subtitle, ownCanvas ? decoder_->width : canvasWidth_,
                                             ownCanvas ? decoder_->height : canvasHeight_);
  } else {
    if (!decoded.end && packet.duration > 0) decoded.end = decoded.start + packet.duration * av_q2d(stream_->time_base);
    for (unsigned i = 0; i < subtitle.num_rects; ++i)
      if (subtitle.rects[i]->type == SUBTITLE_ASS && subtitle.rects[i]->ass)
        decoded.lines.push_back(subtitle.rects[i]->ass);
  }
  waiting_.push_back(std::move(decoded));
}

// Hands the subtitles on, on the film's mended clock, once the film's
// reading has passed them and so knows how their stamps were mended.
void SubtitleOverlay::Place(double seconds) {
  const int64_t read = film_ ? film_->ReadPosition() : -1;
  for (auto decoded = waiting_.begin(); decoded != waiting_.end();) {
    const double shift = Shift(decoded->position);
    const bool passed = !film_ || decoded->position < 0 || read < 0 || decoded->position <= read;
    // Read ahead of the film, a subtitle due by the mending known so far is
    // shown; one long past by it lies beyond a jump the film has yet to reach.
    const bool due = decoded->start + shift <= seconds && decoded->start + shift > seconds - kReadAheadSeconds;
    if (!passed && !due) {
      ++decoded;
      continue;
    }
    const double start = decoded->start + shift;
    const std::optional<double> end = decoded->end ? std::optional<double>(*decoded->end + shift) : std::nullopt;
    if (text_) {
      const int64_t duration = std::llround((end.value_or(start + kUnknownTextSeconds) - start) * 1000);
      for (const std::string& line : decoded->lines) text_->AddEvent(line, std::llround(start * 1000), duration);
    } else {
      pictures_.Add(std::move(decoded->picture), start, end);
    }
    decoded = waiting_.erase(decoded);
  }
}

Failure SubtitleOverlay::ReadUntil(double seconds) {
  PacketPtr packet(av_packet_alloc());
  if (!packet) return ErrorText(AVERROR(ENOMEM));
  while (!ended_ && (!reached_ || *reached_ <= seconds)) {
    const int result = av_read_frame(format_.get(), packet.get());
    if (result == AVERROR(ENOMEM)) return ErrorText(result);
    if (result < 0) {
      ended_ = true;
      break;
    }
    if (packet->stream_index == stream_->index) {
      const int64_t stamp = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
      if (stamp != AV_NOPTS_VALUE) reached_ = stamp * av_q2d(stream_->time_base) + Shift(packet->pos);
      AVSubtitle subtitle{};
      int got = 0;
      if (avcodec_decode_subtitle2(decoder_.get(), &subtitle, &got, packet.get()) >= 0 && got) {
        Take(subtitle, *packet);
        avsubtitle_free(&subtitle);
      }
    }
    av_packet_unref(packet.get());
  }
  return std::nullopt;
}

Failure SubtitleOverlay::Advance(double seconds, const PictureArea& area, bool& changed) {
  if (Failure failure = ReadUntil(seconds + kReadAheadSeconds)) return failure;
  Place(seconds);
  if (text_)
    text_->Draw(std::llround(seconds * 1000), area, layer_, changed);
  else
    pictures_.Draw(seconds, area, layer_, changed);
  return std::nullopt;
}

Failure OpenChosenSubtitles(const InputMedia& input, const EncoderOptions& options,
                            std::unique_ptr<SubtitleOverlay>& overlay, std::string& line) {
  overlay.reset();
  line.clear();
  SubtitleSource source;
  if (Failure failure =
          FindSubtitleSource(*input.Format(), options.inputPath, options.subtitles, options.subtitleFile, source, line))
    return failure;
  if (source.path.empty()) return std::nullopt;
  const AVStream& video = *input.VideoStream();
  const bool across = ClockwiseQuarterTurns(video) % 2;
  const int width = across ? video.codecpar->height : video.codecpar->width;
  const int height = across ? video.codecpar->width : video.codecpar->height;
  overlay = std::make_unique<SubtitleOverlay>();
  if (Failure failure = overlay->Open(source, input, width, height)) return failure;
  line = "  Subtitles: " + source.name + ", burned in";
  return std::nullopt;
}
