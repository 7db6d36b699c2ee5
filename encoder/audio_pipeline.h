#pragma once

#include <cstdint>

#include "encoder/audio_timeline.h"
#include "encoder/ffmpeg_handles.h"

constexpr int kAmvSampleRate = 22050;

// Applies a -vol level to one 16-bit sample: (s * vol + 128) >> 8, clipped.
int16_t ApplyVolume(int16_t sample, int volume);

// Turns decoded sound into mono 22050 Hz 16-bit samples at the level asked
// for, and places them on the timeline by their time stamps.
class AudioPipeline {
 public:
  AudioPipeline(int volume, AVRational streamTimeBase, AudioTimeline& timeline)
      : volume_(volume), timeBase_(streamTimeBase), timeline_(timeline) {}
  ~AudioPipeline() { av_channel_layout_uninit(&layout_); }
  AudioPipeline(const AudioPipeline&) = delete;
  AudioPipeline& operator=(const AudioPipeline&) = delete;

  Failure Push(const AVFrame* frame);
  // Drains what the resampler still holds.
  Failure Flush();

 private:
  Failure PrepareResampler(const AVFrame& frame);
  Failure Convert(const uint8_t* const* input, int inputSamples, int64_t position);
  // Where sound stamped at `stamped` goes: straight after the sound before
  // it, with its clock's drift closed by stretching the sound that follows.
  int64_t FollowStamp(int64_t stamped);

  int volume_;
  AVRational timeBase_;
  AudioTimeline& timeline_;
  ResamplerPtr resampler_;
  AVChannelLayout layout_{};
  int sampleRate_ = 0;
  int format_ = AV_SAMPLE_FMT_NONE;
  int64_t nextPosition_ = 0;  // where sound without a time stamp goes
  bool converted_ = false;
  double smoothedDrift_ = 0;  // samples the stamps run ahead of the sound
  int compensationLeft_ = 0;  // output samples the resampler still stretches or squeezes
};
