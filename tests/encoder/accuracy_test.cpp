// How faithfully pictures and sound come through: which source picture lands
// in which output frame, the sound's fidelity through IMA ADPCM, sound whose
// time stamps jitter or overlap, and the editor's extreme settings.

#include <cmath>

#include <gtest/gtest.h>

#include "encoder_harness.h"

namespace {

class EncoderAccuracy : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { dir_ = new ScratchDir; }
  static void TearDownTestSuite() { delete dir_; }

  static std::string Converted(const std::string& input, const std::string& output, int fps) {
    EncoderCall call;
    call.input = input;
    call.output = dir_->Path(output);
    call.fps = fps;
    const RunResult run = RunEncoder(call, *dir_);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return call.output;
  }

  static ScratchDir* dir_;
};

ScratchDir* EncoderAccuracy::dir_ = nullptr;

// The mean grey level of every picture of a file.
std::vector<double> Means(const std::string& file) {
  const std::string means = Capture("ffmpeg -nostdin -v error -i " + ShellQuote(file) +
                                    " -vf format=gray,scale=1:1:flags=area -f rawvideo -");
  return {reinterpret_cast<const uint8_t*>(means.data()), reinterpret_cast<const uint8_t*>(means.data()) + means.size()};
}

// Signal to noise ratio in dB of `got` against `expected`.
double SignalToNoise(const std::vector<int16_t>& expected, const std::vector<int16_t>& got) {
  double signal = 0, noise = 0;
  for (size_t i = 0; i < expected.size() && i < got.size(); ++i) {
    signal += double(expected[i]) * expected[i];
    noise += (double(expected[i]) - got[i]) * (double(expected[i]) - got[i]);
  }
  return 10 * std::log10(signal / std::max(noise, 1.0));
}

TEST_F(EncoderAccuracy, EachOutputFrameShowsTheSourcePictureOfItsMoment) {
  // Picture n of the source is a flat grey of its own level.
  const std::string numbered = dir_->Path("numbered.mkv");
  MakeClip("-f lavfi -i " + ShellQuote("color=black:size=160x120:rate=25,geq=lum=16+7*N:cb=128:cr=128") +
               " -frames:v 30 -c:v ffv1",
           numbered);
  const std::vector<double> source = Means(numbered);
  ASSERT_EQ(source.size(), 30u);
  for (int fps : {10, 12, 16}) {
    SCOPED_TRACE(std::to_string(fps) + " fps");
    const std::vector<double> output = Means(Converted(numbered, "numbered-" + std::to_string(fps) + ".amv", fps));
    ASSERT_EQ(output.size(), static_cast<size_t>(std::lround(30 * fps / 25.0)));
    for (size_t k = 0; k < output.size(); ++k) {
      // The last picture whose start rounds to this frame's slot or an earlier one.
      int expected = 0;
      while (expected + 1 < 30 && std::llround((expected + 1) * fps / 25.0) <= static_cast<long long>(k)) ++expected;
      int nearest = 0;
      for (int n = 1; n < 30; ++n)
        if (std::abs(source[n] - output[k]) < std::abs(source[nearest] - output[k])) nearest = n;
      EXPECT_EQ(nearest, expected) << "frame " << k;
    }
  }
}

TEST_F(EncoderAccuracy, SoundKeepsItsShapeThroughAdpcm) {
  const std::string tone = dir_->Path("tone.mkv");
  MakeClip("-f lavfi -i testsrc2=size=160x120:rate=10 -f lavfi -i " +
               ShellQuote("aevalsrc=0.3*sin(2*PI*440*t)+0.1*sin(2*PI*3000*t):s=22050") +
               " -t 2 -c:v ffv1 -c:a pcm_s16le",
           tone);
  const std::vector<int16_t> source = DecodeSound(tone);
  const std::vector<int16_t> decoded = DecodeSound(Converted(tone, "tone.amv", 10));
  ASSERT_EQ(decoded.size(), 2u * 22050);
  // Past the first chunk, where the predictor settles.
  const std::vector<int16_t> expected(source.begin() + 2205, source.end());
  const std::vector<int16_t> got(decoded.begin() + 2205, decoded.end());
  EXPECT_GT(SignalToNoise(expected, got), 25);
}

TEST_F(EncoderAccuracy, SoundWhoseStampsJitterOrOverlapStaysContinuous) {
  // A steady tone whose packets are stamped up to 10 ms off, every seventh
  // 30 ms early, so that it overlaps the one before.
  const std::string shaky = dir_->Path("shaky.mkv");
  MakeClip("-f lavfi -i testsrc2=size=160x120:rate=10 -f lavfi -i " +
               ShellQuote("aevalsrc=0.3*sin(2*PI*440*t):s=22050") + " -t 3 -c:v ffv1 -c:a pcm_s16le -bsf:a " +
               ShellQuote("setts=ts=PTS+if(eq(mod(N\\,7)\\,3)\\,-30\\,mod(N*37\\,21)-10)"),
           shaky);
  const std::vector<int16_t> source = DecodeSound(shaky);
  const std::vector<int16_t> decoded = DecodeSound(Converted(shaky, "shaky.amv", 10));
  ASSERT_EQ(decoded.size(), 3u * 22050);
  // No hole and no jump: every 10 ms holds the tone at its level, sample for sample.
  for (size_t at = 2205; at + 220 < decoded.size() - 2205; at += 220)
    ASSERT_GT(Rms({decoded.begin() + at, decoded.begin() + at + 220}), 0.3 * 32767 * 0.6) << "at sample " << at;
  EXPECT_GT(SignalToNoise({source.begin() + 2205, source.end() - 2205}, {decoded.begin() + 2205, decoded.end() - 2205}),
            25);
}

TEST_F(EncoderAccuracy, SoundWhoseClockRunsSlowIsStretchedWithoutGaps) {
  // The stamps run 1% ahead of the samples, as from a recorder whose sound clock is slow.
  const std::string slow = dir_->Path("slow-clock.mkv");
  MakeClip("-f lavfi -i testsrc2=size=160x120:rate=10 -f lavfi -i " +
               ShellQuote("aevalsrc=0.3*sin(2*PI*440*t):s=22050") + " -t 12 -c:v ffv1 -c:a pcm_s16le -bsf:a " +
               ShellQuote("setts=ts=PTS*1.01"),
           slow);
  const std::vector<int16_t> decoded = DecodeSound(Converted(slow, "slow-clock.amv", 10));
  ASSERT_GT(decoded.size(), 12u * 22050);
  for (size_t at = 2205; at + 220 < decoded.size() - 2205; at += 220)
    ASSERT_GT(Rms({decoded.begin() + at, decoded.begin() + at + 220}), 0.3 * 32767 * 0.6) << "at sample " << at;
}

}  // namespace
