#include "encoder/report.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "encoder/printable_text.h"
#include "encoder/stream_choice.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/pixdesc.h>
}

namespace {

// The attribute lets the compiler check every format string against its values.
__attribute__((format(printf, 1, 2))) std::string Printf(const char* format, ...) {
  char text[512];
  va_list values;
  va_start(values, format);
  std::vsnprintf(text, sizeof text, format, values);
  va_end(values);
  return text;
}

// HH:MM:SS.cc, rounded to the hundredth as players show it.
std::string FormatDuration(int64_t microseconds) {
  const int64_t rounded = microseconds + 5000;
  const int64_t seconds = rounded / AV_TIME_BASE;
  return Printf("%02" PRId64 ":%02" PRId64 ":%02" PRId64 ".%02" PRId64, seconds / 3600, seconds / 60 % 60, seconds % 60,
                rounded % AV_TIME_BASE * 100 / AV_TIME_BASE);
}

std::string DurationLine(const AVFormatContext& format, std::optional<int64_t> duration) {
  if (format.duration != AV_NOPTS_VALUE && !duration) duration = format.duration;
  std::string line = "  Duration: ";
  line += duration ? FormatDuration(*duration) : "N/A";
  line += ", start: ";
  if (format.start_time == AV_NOPTS_VALUE) {
    line += "N/A";
  } else {
    const int64_t start = format.start_time;
    line += Printf("%s%" PRId64 ".%06" PRId64, start < 0 ? "-" : "", std::abs(start / AV_TIME_BASE),
                   std::abs(start % AV_TIME_BASE));
  }
  line += ", bitrate: ";
  line += format.bit_rate > 0 ? Printf("%" PRId64 " kb/s", format.bit_rate / 1000) : "N/A";
  return line + "\n";
}

std::string VideoLine(const AVStream& stream) {
  const AVCodecParameters& codec = *stream.codecpar;
  const char* pixels = av_get_pix_fmt_name(static_cast<AVPixelFormat>(codec.format));
  std::string line = Printf("  Stream #0:%d%s: Video: %s, %s, %dx%d", stream.index, StreamLanguage(stream).c_str(),
                            avcodec_get_name(codec.codec_id), pixels ? pixels : "unknown", codec.width, codec.height);
  if (stream.avg_frame_rate.num > 0 && stream.avg_frame_rate.den > 0)
    line += Printf(", %.4g fps", av_q2d(stream.avg_frame_rate));
  return line + StreamTitle(stream) + "\n";
}

std::string AudioLine(const AVStream& stream) {
  const AVCodecParameters& codec = *stream.codecpar;
  char layout[128] = "unknown";
  av_channel_layout_describe(&codec.ch_layout, layout, sizeof layout);
  return Printf("  Stream #0:%d%s: Audio: %s, %d Hz, %s", stream.index, StreamLanguage(stream).c_str(),
                avcodec_get_name(codec.codec_id), codec.sample_rate, layout) +
         StreamTitle(stream) + "\n";
}

}  // namespace

std::string DescribeInput(const InputMedia& input, const std::string& path, std::optional<int64_t> partMicroseconds) {
  const AVFormatContext& format = *input.Format();
  std::string text = "Input #0, " + std::string(format.iformat->name) + ", from '" + Printable(path) + "':\n";
  text += DurationLine(format, partMicroseconds);
  text += VideoLine(*input.VideoStream());
  if (input.VideoHalvings() > 0)
    text += Printf("  Fast decoding: pictures are decoded at 1/%d of their size both ways.\n", 1 << input.VideoHalvings());
  if (!input.ClockNote().empty()) text += input.ClockNote() + "\n";
  if (input.DecodesVideoRoughly())
    text += "  Fast decoding: the picture shrinks to half its size or less; B pictures skip the in-loop filter.\n";
  if (input.AudioStream()) text += AudioLine(*input.AudioStream());
  if (!input.AudioNote().empty()) text += input.AudioNote() + "\n";
  return text;
}

std::string DescribeOutput(const EncoderOptions& options) {
  return "Output #0, amv, to '" + Printable(options.outputPath) + "':\n" +
         Printf("  Stream #0:0: Video: amv, yuvj420p, %dx%d, q=%d-%d, %d fps\n", options.width, options.height,
                options.qmin, options.qmax, options.fps) +
         Printf("  Stream #0:1: Audio: adpcm_ima_amv, 22050 Hz, mono, vol %d\n", options.volume);
}

std::string FormatProgress(const ProgressFigures& figures) {
  const double kilobytes = figures.bytes / 1024.0;
  const double kilobitsPerSecond = figures.seconds > 0 ? figures.bytes * 8.0 / figures.seconds / 1000.0 : 0.0;
  return Printf("frame=%5" PRId64 " fps=%3d q=%3.1f size=%8.0fkB time=%0.2f bitrate=%6.1fkbits/s", figures.frames,
                static_cast<int>(figures.framesPerSecond + 0.5), figures.quantiser, kilobytes, figures.seconds,
                kilobitsPerSecond);
}

std::string FormatSummary(uint64_t pictureBytes, uint64_t soundBytes, uint64_t fileBytes) {
  const uint64_t payload = pictureBytes + soundBytes;
  const double overhead = payload > 0 ? 100.0 * (static_cast<double>(fileBytes) - payload) / payload : 0.0;
  return Printf("video:%.0fkB audio:%.0fkB other streams:0kB global headers:0kB muxing overhead: %.6f%%\n",
                pictureBytes / 1024.0, soundBytes / 1024.0, overhead);
}

std::string FormatPictureCounts(int64_t read, int64_t decoded, int64_t written) {
  return Printf("pictures: %" PRId64 " read, %" PRId64 " decoded, %" PRId64 " written\n", read, decoded, written);
}
