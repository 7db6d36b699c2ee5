#include "encoder/audio_pipeline.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/mathematics.h>
}

namespace {

// Stamps this far from where the sound already reaches (about 45 ms) are
// jitter or drift, not a gap in the sound.
constexpr int64_t kLargestDriftSamples = 1000;
// Drift within this (about 14 ms, under a frame at any rate) is left alone,
// so jitter never bends the sound.
constexpr double kDriftDeadbandSamples = 300;
constexpr double kDriftSmoothing = 8;
// Drift is closed by stretching or squeezing the sound by at most 2%, a
// change of speed no listener notices, instead of a gap of silence.
constexpr int kCompensationSpread = 50;

}  // namespace

int16_t ApplyVolume(int16_t sample, int volume) {
  const int scaled = (sample * volume + 128) >> 8;
  return static_cast<int16_t>(std::clamp(scaled, -32768, 32767));
}

Failure AudioPipeline::PrepareResampler(const AVFrame& frame) {
  if (resampler_ && sampleRate_ == frame.sample_rate && format_ == frame.format &&
      av_channel_layout_compare(&layout_, &frame.ch_layout) == 0)
    return std::nullopt;
  // A change of layout or rate mid-stream: what the old resampler still holds is dropped with it.
  resampler_.reset();
  AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
  SwrContext* resampler = nullptr;
  int result = swr_alloc_set_opts2(&resampler, &mono, AV_SAMPLE_FMT_S16, kAmvSampleRate,
                                   const_cast<AVChannelLayout*>(&frame.ch_layout),
                                   static_cast<AVSampleFormat>(frame.format), frame.sample_rate, 0, nullptr);
  resampler_.reset(resampler);
  if (result >= 0) result = swr_init(resampler);
  if (result < 0) return "Cannot convert the sound to 22050 Hz mono: " + ErrorText(result);
  av_channel_layout_uninit(&layout_);
  av_channel_layout_copy(&layout_, &frame.ch_layout);
  sampleRate_ = frame.sample_rate;
  format_ = frame.format;
  return std::nullopt;
}

Failure AudioPipeline::Convert(const uint8_t* const* input, int inputSamples, int64_t position) {
  std::vector<int16_t> samples(static_cast<size_t>(swr_get_out_samples(resampler_.get(), inputSamples)));
  uint8_t* output = reinterpret_cast<uint8_t*>(samples.data());
  const int converted =
      swr_convert(resampler_.get(), &output, static_cast<int>(samples.size()), const_cast<const uint8_t**>(input),
                  inputSamples);
  if (converted < 0) return "Cannot convert the sound to 22050 Hz mono: " + ErrorText(converted);
  samples.resize(static_cast<size_t>(converted));
  for (int16_t& sample : samples) sample = ApplyVolume(sample, volume_);
  nextPosition_ = position + converted;
  compensationLeft_ -= converted;
  converted_ = true;
  timeline_.Put(position, std::move(samples));
  return std::nullopt;
}

int64_t AudioPipeline::FollowStamp(int64_t stamped) {
  const int64_t drift = stamped - nextPosition_;
  if (std::llabs(drift) > kLargestDriftSamples) {
    // A real gap or overlap: the timeline places the sound by its stamp.
    smoothedDrift_ = 0;
    return stamped;
  }
  // Smoothed, the jitter of single stamps cancels out and what remains is the drift of the sound's clock.
  smoothedDrift_ += (static_cast<double>(drift) - smoothedDrift_) / kDriftSmoothing;
  if (compensationLeft_ <= 0 && std::abs(smoothedDrift_) > kDriftDeadbandSamples) {
    const int delta = static_cast<int>(std::lround(smoothedDrift_));
    const int distance = std::abs(delta) * kCompensationSpread;
    if (swr_set_compensation(resampler_.get(), delta, distance) >= 0) {
      compensationLeft_ = distance;
      smoothedDrift_ -= delta;
    }
  }
  return nextPosition_;
}

Failure AudioPipeline::Push(const AVFrame* frame) {
  if (Failure failure = PrepareResampler(*frame)) return failure;
  int64_t position = nextPosition_;
  if (frame->best_effort_timestamp != AV_NOPTS_VALUE) {
    // The resampler's delay: the first sample out belongs that much before this frame.
    const int64_t stamped =
        av_rescale_q_rnd(frame->best_effort_timestamp, timeBase_, AVRational{1, kAmvSampleRate}, AV_ROUND_NEAR_INF) -
        swr_get_delay(resampler_.get(), kAmvSampleRate);
    position = converted_ ? FollowStamp(stamped) : stamped;
  }
  return Convert(frame->extended_data, frame->nb_samples, position);
}

Failure AudioPipeline::Flush() {
  if (!resampler_) return std::nullopt;
  return Convert(nullptr, 0, nextPosition_);
}
