// Where decoded sound lands on the output's sample clock, by its time stamps.

#include <gtest/gtest.h>

#include <algorithm>

#include "encoder/audio_pipeline.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

namespace {

constexpr int kFrameSamples = 4410;
constexpr int16_t kLevel = 4000;

FramePtr SoundFrame(int64_t stamp) {
  FramePtr frame(av_frame_alloc());
  frame->format = AV_SAMPLE_FMT_S16;
  frame->sample_rate = kAmvSampleRate;
  frame->ch_layout = AV_CHANNEL_LAYOUT_MONO;
  frame->nb_samples = kFrameSamples;
  frame->best_effort_timestamp = stamp;
  EXPECT_EQ(av_frame_get_buffer(frame.get(), 0), 0);
  std::fill_n(reinterpret_cast<int16_t*>(frame->data[0]), kFrameSamples, kLevel);
  return frame;
}

}  // namespace

TEST(AudioPipeline, AStampOver45MsAheadIsAGapAndCloserOnesAreJitter) {
  struct Case {
    int64_t ahead;  // samples the second frame's stamp lies past the end of the first
    int64_t silence;
  };
  // 1000 samples are 45 ms: a stamp that close is the sound's clock wandering,
  // and the sound runs on; one further is a gap the sound keeps.
  for (const Case c : {Case{0, 0}, Case{300, 0}, Case{1000, 0}, Case{-1000, 0}, Case{1001, 1001}, Case{5000, 5000}}) {
    SCOPED_TRACE("ahead " + std::to_string(c.ahead));
    AudioTimeline timeline(0);
    AudioPipeline pipeline(256, AVRational{1, kAmvSampleRate}, timeline);
    ASSERT_EQ(pipeline.Push(SoundFrame(0).get()), std::nullopt);
    ASSERT_EQ(pipeline.Push(SoundFrame(kFrameSamples + c.ahead).get()), std::nullopt);
    ASSERT_EQ(pipeline.Flush(), std::nullopt);
    std::vector<int16_t> samples;
    timeline.Take(0, timeline.End(), samples);
    EXPECT_EQ(std::count(samples.begin(), samples.end(), 0), c.silence);
    EXPECT_EQ(timeline.End(), 2 * kFrameSamples + c.silence);
  }
}
