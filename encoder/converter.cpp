#include "encoder/converter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>
#include <memory>
#include <new>
#include <vector>

#include "Inc/EncoderExitCodes.h"
#include "encoder/adpcm.h"
#include "encoder/amv_writer.h"
#include "encoder/audio_pipeline.h"
#include "encoder/audio_timeline.h"
#include "encoder/decoder_setup.h"
#include "encoder/frame_rate.h"
#include "encoder/input_media.h"
#include "encoder/picture_pipeline.h"
#include "encoder/printable_text.h"
#include "encoder/progress_meter.h"
#include "encoder/proportion_bars.h"
#include "encoder/quality.h"
#include "encoder/report.h"
#include "encoder/rotation.h"
#include "encoder/source_part.h"
#include "encoder/subtitle_overlay.h"
#include "encoder/video_encoder.h"

namespace {

// Sound time stamps this close (about 45 ms) to where the sound already
// reaches are taken as continuous, so rounding never clicks.
constexpr int64_t kSoundJitterSamples = 1000;

// The last safety net against stamps that no mending caught: an output this
// far past the content decoded so far is not the film but a runaway.
constexpr double kRunawayFactor = 2;
constexpr double kRunawayMarginSeconds = 60;

// How far the picture may run ahead of the sound before the sound is taken
// as ended, late or missing there, and silence fills in. Longer than the
// way containers interleave their streams, short enough that pictures never
// pile up in memory waiting for sound that is not coming.
constexpr int64_t kSoundWaitSamples = 10 * kAmvSampleRate;

// A line naming a file stays one line, whatever the name holds.
void PrintLine(const std::string& line) { std::fprintf(stderr, "%s\n", Printable(line).c_str()); }

class Conversion {
 public:
  Conversion(const EncoderOptions& options, const volatile std::sig_atomic_t& interrupted)
      : options_(options),
        interrupted_(interrupted),
        picture_(options.width, options.height, options.crop, options.pad),
        timeline_(kSoundJitterSamples),
        rate_(options.fps),
        part_(options.partFrom, options.partTo),
        meter_(options.fps, QuantiserShown(options.qmin, options.qmax)) {}

  int Run();

 private:
  // An encoded picture waiting for its sound, with the frames it fills: a
  // picture held for hours costs one entry, not one per frame.
  struct PendingPicture {
    std::shared_ptr<const std::vector<uint8_t>> packet;
    int64_t frames;
  };

  int RunSteps();
  Failure Prepare();
  Failure Convert();
  Failure OnPicture(AVFrame* frame);
  Failure EmitHeld(int64_t count);
  Failure EmitWithSubtitles(AVFrame& picture, int64_t count);
  Failure CheckRunaway(int64_t moreFrames) const;
  Failure WritePending();
  bool PartTaken() const;
  int Fail(const std::string& line);

  const EncoderOptions& options_;
  const volatile std::sig_atomic_t& interrupted_;
  InputMedia input_;
  PicturePipeline picture_;
  VideoEncoder video_;
  AudioTimeline timeline_;
  std::unique_ptr<AudioPipeline> audio_;
  std::unique_ptr<SubtitleOverlay> subtitles_;  // null when none are burned in
  std::string subtitleLine_;
  AdpcmEncoder adpcm_;
  AmvWriter writer_;
  FrameRateConverter rate_;
  SourcePart part_;
  bool picturesPastPart_ = false;
  ProgressMeter meter_;

  FramePtr held_;  // the last picture, waiting to learn how long it lasts
  double heldEnd_ = 0;
  double videoEnd_ = 0;
  double pictureSeconds_ = 0;  // content decoded so far
  double soundSeconds_ = 0;
  bool soundFinished_ = false;
  std::deque<PendingPicture> pending_;
  int64_t pendingFrames_ = 0;
  std::vector<int16_t> chunkSamples_;
  std::vector<uint8_t> chunk_;
  int64_t framesWritten_ = 0;
  uint64_t pictureBytes_ = 0;
  uint64_t soundBytes_ = 0;
  std::string cutShortNote_;
};

int Conversion::Fail(const std::string& line) {
  writer_.Discard();
  PrintLine(line);
  return kEncoderFailed;
}

Failure Conversion::Prepare() {
  if (Failure failure = input_.Open(options_.inputPath, options_.sound)) return failure;
  const AVCodecParameters& source = *input_.VideoStream()->codecpar;
  const int quarterTurns = ClockwiseQuarterTurns(*input_.VideoStream());
  picture_.SetQuarterTurns(quarterTurns);
  if (options_.keepProportions) picture_.KeepProportions(SampleAspect(*input_.VideoStream()));
  // Some files only tell their picture size once decoding starts; Render checks those.
  if (source.width > 0 && source.height > 0)
    if (Failure failure = picture_.CheckSource(source.width, source.height)) return failure;
  if (Failure failure = SetUpVideoDecoding(input_, picture_, quarterTurns, options_)) return failure;
  if (const AVStream* sound = input_.AudioStream()) {
    audio_ = std::make_unique<AudioPipeline>(options_.volume, sound->time_base, timeline_);
    // Sound that starts before the picture is kept, with the first picture shown over it.
    if (part_.Whole() && sound->start_time != AV_NOPTS_VALUE)
      rate_.BeginNoLaterThan(sound->start_time * av_q2d(sound->time_base));
  } else {
    soundFinished_ = true;
  }
  if (Failure failure = OpenChosenSubtitles(input_, options_, subtitles_, subtitleLine_)) return failure;
  // Noise reduction learns across frames and blurs what is new: a line that
  // appears over a held picture, encoded once and repeated, would stay faint.
  if (Failure failure = video_.Open(options_.width, options_.height, options_.fps, options_.qmin, options_.qmax,
                                    /*reduceNoise=*/!subtitles_))
    return failure;
  if (!part_.Whole()) {
    if (Failure failure = part_.Locate(input_)) return failure;
    rate_.BeginAt(part_.Begin());
    if (subtitles_) subtitles_->SeekNear(part_.Begin());
  }
  return writer_.Create(options_.outputPath, options_.width, options_.height, options_.fps);
}

Failure Conversion::CheckRunaway(int64_t moreFrames) const {
  const double output = static_cast<double>(framesWritten_ + pendingFrames_ + moreFrames) / options_.fps;
  // Pictures the frame rate drops before decoding are content all the same.
  const double content = std::max(pictureSeconds_ + input_.UnusedPictureSeconds(), soundSeconds_);
  if (output <= kRunawayFactor * content + kRunawayMarginSeconds) return std::nullopt;
  char line[200];
  std::snprintf(line, sizeof line,
                ": the time stamps run far past the content (%.0f s of output for %.1f s decoded); stopped before "
                "the output fills the disk.",
                output, content);
  return options_.inputPath + line;
}

Failure Conversion::EmitHeld(int64_t count) {
  if (count <= 0) return std::nullopt;
  if (Failure failure = CheckRunaway(count)) return failure;
  FramePtr rendered;
  if (Failure failure = picture_.Render(held_.get(), rendered)) return failure;
  if (subtitles_) return EmitWithSubtitles(*rendered, count);
  auto packet = std::make_shared<std::vector<uint8_t>>();
  if (Failure failure = video_.Encode(rendered.get(), *packet)) return failure;
  // A repeated picture is the same packet again: encoding it twice would only cost time.
  pending_.push_back({std::move(packet), count});
  pendingFrames_ += count;
  return std::nullopt;
}

// Subtitles follow the output frames' own times, so a picture held over
// several frames is encoded again only where what they show changes.
Failure Conversion::EmitWithSubtitles(AVFrame& picture, int64_t count) {
  const int64_t first = framesWritten_ + pendingFrames_;
  for (int64_t i = 0; i < count; ++i) {
    const double seconds = rate_.OriginSeconds() + static_cast<double>(first + i) / options_.fps;
    bool changed = false;
    if (Failure failure = subtitles_->Advance(SubtitleMoment(seconds, options_.fps), picture_.LastArea(), changed)) return failure;
    ++pendingFrames_;
    if (i > 0 && !changed) {
      ++pending_.back().frames;
      continue;
    }
    FramePtr drawn;
    if (subtitles_->Showing()) {
      drawn.reset(av_frame_alloc());
      if (!drawn) return ErrorText(AVERROR(ENOMEM));
      drawn->format = picture.format;
      drawn->width = picture.width;
      drawn->height = picture.height;
      int result = av_frame_get_buffer(drawn.get(), 0);
      if (result >= 0) result = av_frame_copy(drawn.get(), &picture);
      if (result < 0) return ErrorText(result);
      drawn->color_range = picture.color_range;
      subtitles_->Draw(*drawn);
    }
    auto packet = std::make_shared<std::vector<uint8_t>>();
    if (Failure failure = video_.Encode(drawn ? drawn.get() : &picture, *packet)) return failure;
    pending_.push_back({std::move(packet), 1});
  }
  return std::nullopt;
}

Failure Conversion::OnPicture(AVFrame* frame) {
  const double seconds = frame->best_effort_timestamp != AV_NOPTS_VALUE
                            ? frame->best_effort_timestamp * input_.VideoTick()
                            : heldEnd_;
  double duration = input_.PictureSeconds(frame->pkt_duration);
  if (duration <= 0) duration = 1.0 / options_.fps;
  if (part_.After(seconds)) {
    picturesPastPart_ = true;
    return std::nullopt;
  }
  if (Failure failure = EmitHeld(rate_.Arrive(seconds))) return failure;
  if (!held_) held_.reset(av_frame_alloc());
  if (!held_) return ErrorText(AVERROR(ENOMEM));
  av_frame_unref(held_.get());
  av_frame_move_ref(held_.get(), frame);
  heldEnd_ = seconds + duration;
  pictureSeconds_ += duration;
  videoEnd_ = std::max(videoEnd_, heldEnd_);
  return WritePending();
}

// Writes every frame whose picture is encoded and whose sound has arrived,
// so picture and sound chunks alternate strictly and stay in step.
Failure Conversion::WritePending() {
  const int64_t origin = std::llround(rate_.OriginSeconds() * kAmvSampleRate);
  while (!pending_.empty()) {
    // Chunk n holds the samples of [n, n + 1) frame times, so the sample counts
    // follow 22050 / fps exactly however the division falls.
    const int64_t begin = origin + framesWritten_ * kAmvSampleRate / options_.fps;
    const int64_t end = origin + (framesWritten_ + 1) * kAmvSampleRate / options_.fps;
    const bool soundOverdue = std::llround(videoEnd_ * kAmvSampleRate) >= end + kSoundWaitSamples;
    if (!soundFinished_ && timeline_.End() < end && !soundOverdue) return std::nullopt;
    timeline_.Take(begin, end, chunkSamples_);
    chunk_.clear();
    adpcm_.EncodeChunk(chunkSamples_, chunk_);
    PendingPicture& front = pending_.front();
    if (Failure failure = writer_.WriteFrame(*front.packet, chunk_)) return failure;
    pictureBytes_ += front.packet->size();
    soundBytes_ += chunk_.size();
    if (--front.frames == 0) pending_.pop_front();
    --pendingFrames_;
    ++framesWritten_;
    meter_.Update(framesWritten_, writer_.BytesWritten());
  }
  return std::nullopt;
}

// Whether every picture and every sound of the part has been decoded, so
// reading may stop before the end of the file.
bool Conversion::PartTaken() const {
  return picturesPastPart_ && (!audio_ || part_.After(static_cast<double>(timeline_.End()) / kAmvSampleRate));
}

Failure Conversion::Convert() {
  const auto onSound = [this](AVFrame* frame) -> Failure {
    if (Failure failure = audio_->Push(frame)) return failure;
    if (frame->sample_rate > 0) soundSeconds_ += static_cast<double>(frame->nb_samples) / frame->sample_rate;
    return WritePending();
  };
  const auto onPicture = [this](AVFrame* frame) { return OnPicture(frame); };
  const auto stop = [this] { return interrupted_ != 0 || PartTaken(); };
  InputMedia::PictureFilter used;
  if (!options_.fullDecode) used = [this](double start, double end) { return !rate_.SurelyDropped(start, end); };
  if (Failure failure = input_.Decode(onPicture, onSound, stop, used)) return failure;
  if (audio_ && !interrupted_)
    if (Failure failure = audio_->Flush()) return failure;
  soundFinished_ = true;
  if (interrupted_) return WritePending();
  if (!rate_.Started()) return options_.inputPath + ": no picture in the video stream could be decoded.";
  double end = videoEnd_;
  if (timeline_.End() != INT64_MIN) end = std::max(end, static_cast<double>(timeline_.End()) / kAmvSampleRate);
  if (!PartTaken()) cutShortNote_ = input_.CutShortNote(end);
  if (Failure failure = input_.CheckDamage()) return failure;
  if (Failure failure = EmitHeld(rate_.Finish(part_.EndBy(end)))) return failure;
  return WritePending();
}

int Conversion::Run() {
  try {
    return RunSteps();
  } catch (const std::bad_alloc&) {
    return Fail(options_.inputPath + ": not enough memory to convert this file; the incomplete output is removed.");
  }
}

int Conversion::RunSteps() {
  if (Failure failure = Prepare()) return Fail(*failure);
  const std::optional<int64_t> partDuration = part_.Whole() ? std::nullopt : part_.Duration(*input_.Format());
  std::fputs(DescribeInput(input_, options_.inputPath, partDuration).c_str(), stderr);
  if (!subtitleLine_.empty()) PrintLine(subtitleLine_);
  std::fputs(DescribeOutput(options_).c_str(), stderr);
  if (Failure failure = Convert()) return Fail(*failure);
  if (Failure failure = writer_.Finish(framesWritten_)) return Fail(*failure);
  meter_.Final(framesWritten_, writer_.BytesWritten());
  if (const std::string note = input_.DamageNote(); !note.empty()) PrintLine(note);
  if (interrupted_) {
    PrintLine("Interrupted: '" + options_.outputPath + "' holds the first " +
              std::to_string(framesWritten_ / options_.fps) + " s only.");
    return kEncoderFailed;
  }
  std::fputs(FormatSummary(pictureBytes_, soundBytes_, writer_.BytesWritten()).c_str(), stderr);
  std::fputs(FormatPictureCounts(input_.PicturesRead(), input_.PicturesDecoded(), framesWritten_).c_str(), stderr);
  if (cutShortNote_.empty()) return kEncoderConverted;
  PrintLine(cutShortNote_);
  return kEncoderPartlyConverted;
}

}  // namespace

int ConvertFile(const EncoderOptions& options, const volatile std::sig_atomic_t& interrupted) {
  return Conversion(options, interrupted).Run();
}
