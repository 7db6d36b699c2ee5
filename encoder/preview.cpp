#include "encoder/preview.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "encoder/decoder_setup.h"
#include "encoder/input_media.h"
#include "encoder/picture_pipeline.h"
#include "encoder/printable_text.h"
#include "encoder/proportion_bars.h"
#include "encoder/rotation.h"
#include "encoder/source_part.h"
#include "encoder/subtitle_overlay.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

void PrintGeometry(const InputMedia& input, std::optional<int64_t> duration) {
  const AVStream& stream = *input.VideoStream();
  const AVCodecParameters& codec = *stream.codecpar;
  const AVRational aspect = SampleAspect(stream);
  std::fprintf(stderr, "Preview source: %dx%d, aspect %d:%d, rotation %d, duration %.3f\n", codec.width, codec.height,
               aspect.num, aspect.den, ClockwiseQuarterTurns(stream) * 90,
               duration ? *duration / double(AV_TIME_BASE) : -1.0);
}

Failure WritePpm(const AVFrame& picture, const std::string& path) {
  ScalerPtr converter(sws_getContext(picture.width, picture.height, static_cast<AVPixelFormat>(picture.format),
                                     picture.width, picture.height, AV_PIX_FMT_RGB24,
                                     SWS_BICUBIC | SWS_FULL_CHR_H_INT | SWS_ACCURATE_RND, nullptr, nullptr, nullptr));
  if (!converter) return std::string("Cannot convert the picture to RGB.");
  const int rowBytes = picture.width * 3;
  std::vector<uint8_t> pixels(static_cast<size_t>(rowBytes) * picture.height);
  uint8_t* planes[4] = {pixels.data(), nullptr, nullptr, nullptr};
  int strides[4] = {rowBytes, 0, 0, 0};
  sws_scale(converter.get(), picture.data, picture.linesize, 0, picture.height, planes, strides);
  // "x": an existing file is never replaced, as with a conversion's output.
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wbx"));
  if (!file) {
    if (errno == EEXIST) return "File '" + path + "' already exists. Exiting.";
    return path + ": " + ErrorText(AVERROR(errno));
  }
  std::fprintf(file.get(), "P6\n%d %d\n255\n", picture.width, picture.height);
  const bool written = std::fwrite(pixels.data(), 1, pixels.size(), file.get()) == pixels.size();
  if (!written || std::fclose(file.release()) != 0) {
    std::remove(path.c_str());
    return path + ": the picture could not be written.";
  }
  return std::nullopt;
}

Failure Preview(const EncoderOptions& options) {
  InputMedia input;
  if (Failure failure = input.Open(options.inputPath, options.sound)) return failure;
  // With -ss and -to, moments and the duration count within the part, as the conversion's do.
  SourcePart part(options.partFrom, options.partTo);
  const std::optional<int64_t> duration = part.Duration(*input.Format());
  PrintGeometry(input, duration);
  if (Failure failure = part.Locate(input)) return failure;
  PicturePipeline picture(options.width, options.height, options.crop, options.pad);
  const AVStream& stream = *input.VideoStream();
  const int quarterTurns = ClockwiseQuarterTurns(stream);
  picture.SetQuarterTurns(quarterTurns);
  if (options.keepProportions) picture.KeepProportions(SampleAspect(stream));
  if (stream.codecpar->width > 0 && stream.codecpar->height > 0)
    if (Failure failure = picture.CheckSource(stream.codecpar->width, stream.codecpar->height)) return failure;
  // Decoded as the conversion decodes it, shortcuts included, so the picture is the same.
  if (Failure failure = SetUpVideoDecoding(input, picture, quarterTurns, options)) return failure;
  std::unique_ptr<SubtitleOverlay> subtitles;
  std::string subtitleLine;
  if (Failure failure = OpenChosenSubtitles(input, options, subtitles, subtitleLine)) return failure;
  if (!subtitleLine.empty()) std::fprintf(stderr, "%s\n", Printable(subtitleLine).c_str());

  // Output frame n shows the last picture that begins in a slot up to n; a
  // picture belongs to the nearest slot.
  const double origin = part.Begin();
  const double frame = std::floor(*options.previewSeconds * options.fps + 1e-6);
  const double moment = origin + frame / options.fps;
  const double limit = origin + (frame + 0.5) / options.fps;

  FramePtr held;
  double heldEnd = origin;
  bool found = false;
  std::optional<double> first;  // where the first picture decoded since the seek begins
  const auto onPicture = [&](AVFrame* decoded) -> Failure {
    const double seconds = decoded->best_effort_timestamp != AV_NOPTS_VALUE
                               ? decoded->best_effort_timestamp * input.VideoTick()
                               : heldEnd;
    if (!first) first = seconds;
    if (seconds >= limit && held) {
      found = true;
      return std::nullopt;
    }
    if (!held) held.reset(av_frame_alloc());
    if (!held) return ErrorText(AVERROR(ENOMEM));
    av_frame_unref(held.get());
    av_frame_move_ref(held.get(), decoded);
    heldEnd = seconds + input.PictureSeconds(held->pkt_duration);
    found = seconds >= limit;
    return std::nullopt;
  };
  const auto onSound = [](AVFrame*) -> Failure { return std::nullopt; };
  // Formats that seek by time stamp alone (MPEG-TS) may land past the key
  // picture, and decoding then starts after the moment or not at all: seek
  // further back, in the end to the start.
  for (const double back : {0.0, 3.0, 15.0, 60.0, moment - SourceOrigin(input) + 1}) {
    held.reset();
    heldEnd = origin;
    found = false;
    first.reset();
    input.SeekVideo(moment - back);
    if (Failure failure = input.Decode(onPicture, onSound, [&] { return found; })) return failure;
    if (first && *first < limit) break;
  }
  if (!held) return options.inputPath + ": no picture in the video stream could be decoded.";
  // A picture found past the moment may still lie past the part's end.
  if (!found || options.partTo) {
    const double end = duration ? *duration / double(AV_TIME_BASE) : heldEnd - origin;
    if (*options.previewSeconds >= end) {
      char line[160];
      std::snprintf(line, sizeof line, "The video ends at %.2f s; there is no picture at %.2f s.", end,
                    *options.previewSeconds);
      return std::string(line);
    }
  }
  FramePtr rendered;
  if (Failure failure = picture.Render(held.get(), rendered)) return failure;
  if (subtitles) {
    // The frame shows the subtitles of its own moment, as in the conversion.
    subtitles->SeekNear(moment);
    bool changed = false;
    if (Failure failure = subtitles->Advance(SubtitleMoment(moment, options.fps), picture.LastArea(), changed))
      return failure;
    subtitles->Draw(*rendered);
  }
  return WritePpm(*rendered, options.outputPath);
}

}  // namespace

int WritePreview(const EncoderOptions& options) {
  if (Failure failure = Preview(options)) {
    std::fprintf(stderr, "%s\n", Printable(*failure).c_str());
    return 1;
  }
  return 0;
}
