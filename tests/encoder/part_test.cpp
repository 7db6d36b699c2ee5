// Converting a part of a source: -ss seeks to its start instead of decoding
// up to it, the output holds the part alone with its first frame the
// source's picture at the start and its sound in step, and the duration line
// gives the part's play time.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "Inc/MomentText.h"
#include "encoder_harness.h"

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;

double MeanDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  double sum = 0;
  for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) sum += std::abs(a[i] - b[i]);
  return sum / std::max<size_t>(1, a.size());
}

class EncoderPart : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new ScratchDir;
    // Pictures that differ from one to the next and a rising tone, so a
    // picture or a stretch of sound from another moment shows; key pictures
    // 4 s apart, so the part starts between two of them.
    const std::string clip = "-f lavfi -i testsrc2=size=320x240:rate=25 -f lavfi -i " +
                             ShellQuote("aevalsrc=0.3*sin(2*PI*(200+20*t)*t):s=44100") +
                             " -t 24 -c:v libx264 -preset ultrafast -g 100 -pix_fmt yuv420p -c:a aac";
    MakeClip(clip, dir_->Path("clip.mp4"));
    // A transport stream seeks by time stamp alone and its clock starts late.
    MakeClip(clip + " -output_ts_offset 7", dir_->Path("clip.ts"));
  }
  static void TearDownTestSuite() { delete dir_; }

  static RunResult Convert(const std::string& source, const std::vector<std::string>& part, const std::string& output) {
    EncoderCall call;
    call.input = dir_->Path(source);
    call.output = dir_->Path(output);
    std::vector<std::string> arguments = call.Arguments();
    arguments.insert(arguments.begin() + 2, part.begin(), part.end());
    return RunEncoder(arguments, *dir_);
  }

  static ScratchDir* dir_;
};

ScratchDir* EncoderPart::dir_ = nullptr;

TEST_F(EncoderPart, TheSecondsFromTenToTwentyAreTheSameAsInTheWholeConversion) {
  for (const char* source : {"clip.mp4", "clip.ts"}) {
    SCOPED_TRACE(source);
    const std::string name(source);
    const RunResult whole = Convert(source, {}, name + "-whole.amv");
    ASSERT_EQ(whole.exitCode, 0) << whole.err;
    const RunResult part = Convert(source, {"-ss", "10", "-to", "0:00:20"}, name + "-part.amv");
    ASSERT_EQ(part.exitCode, 0) << part.err;
    EXPECT_NE(part.err.find("  Duration: 00:00:10.00, start: "), std::string::npos) << part.err;
    EXPECT_NE(part.err.find("time=10.00 "), std::string::npos) << part.err;
    // Read from the key picture before 10 s, 4 s at most, up to 20 s: not from the start.
    int read = 0;
    const size_t counts = part.err.find("pictures: ");
    ASSERT_NE(counts, std::string::npos) << part.err;
    std::sscanf(part.err.c_str() + counts, "pictures: %d read", &read);
    EXPECT_LE(read, 14 * 25 + 5);
    const std::string wholeFile = dir_->Path(name + "-whole.amv");
    const std::string partFile = dir_->Path(name + "-part.amv");
    const Probe probe = ProbeFile(partFile);
    ASSERT_EQ(probe.streams.size(), 2u);
    EXPECT_EQ(probe.streams[0].at("nb_read_packets"), "120");

    // Frame n of the part is frame 120 + n of the whole at 12 fps; a
    // neighbouring frame differs clearly, so the moment is right.
    for (const int frame : {0, 1, 119}) {
      SCOPED_TRACE(frame);
      const auto picture = DecodeLuma(partFile, frame, kWidth, kHeight);
      const double same = MeanDifference(picture, DecodeLuma(wholeFile, 120 + frame, kWidth, kHeight));
      EXPECT_LT(same, 2);
      EXPECT_GT(MeanDifference(picture, DecodeLuma(wholeFile, 119 + frame, kWidth, kHeight)), same + 3);
    }

    // The sound is the whole's from 10 s on, sample for sample but for the
    // ADPCM coder's rounding; a shift of a millisecond would double it.
    const std::vector<int16_t> partSound = DecodeSound(partFile);
    const std::vector<int16_t> wholeSound = DecodeSound(wholeFile);
    ASSERT_EQ(partSound.size(), 10u * 22050);
    ASSERT_GE(wholeSound.size(), 20u * 22050);
    std::vector<int16_t> difference;
    for (size_t i = 22050 / 2; i < partSound.size(); ++i)
      difference.push_back(static_cast<int16_t>(partSound[i] - wholeSound[10 * 22050 + i]));
    EXPECT_LT(Rms(difference), 0.1 * Rms(partSound));
  }
}

TEST_F(EncoderPart, StartAloneTakesTheRestAndAPartPastTheEndIsRefused) {
  RunResult run = Convert("clip.mp4", {"-ss", "20"}, "rest.amv");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ProbeFile(dir_->Path("rest.amv")).streams.at(0).at("nb_read_packets"), "48");
  // Where the part reaches past the end, the output ends with the source.
  run = Convert("clip.mp4", {"-to", "90"}, "long.amv");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ProbeFile(dir_->Path("long.amv")).streams.at(0).at("nb_read_packets"), "288");

  run = Convert("clip.mp4", {"-ss", "25"}, "late.amv");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(Lines(run.err),
            std::vector<std::string>{"The video ends at 24.00 s; there is nothing to convert from 25.00 s."});
  EXPECT_FALSE(FileExists(dir_->Path("late.amv")));
  for (const char* to : {"9.5", "10"}) {
    SCOPED_TRACE(to);
    run = Convert("clip.mp4", {"-ss", "0:10", "-to", to}, "empty.amv");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("-to must come after -ss"), std::string::npos) << run.err;
    EXPECT_FALSE(FileExists(dir_->Path("empty.amv")));
  }
}

// The preview of a task with a part counts its moments within the part.
TEST_F(EncoderPart, ThePreviewShowsMomentsWithinThePart) {
  ASSERT_EQ(Convert("clip.mp4", {"-ss", "10", "-to", "20"}, "previewed.amv").exitCode, 0);
  RunResult run = Convert("clip.mp4", {"-ss", "10", "-to", "20", "-preview", "5"}, "five.ppm");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(Lines(run.err).at(0), "Preview source: 320x240, aspect 1:1, rotation 0, duration 10.000");
  const auto preview = DecodeLuma(dir_->Path("five.ppm"), 0, kWidth, kHeight);
  // The converted frame holds the coder's loss; a neighbouring one differs far more.
  const double same = MeanDifference(preview, DecodeLuma(dir_->Path("previewed.amv"), 60, kWidth, kHeight));
  EXPECT_LT(same, 5);
  EXPECT_GT(MeanDifference(preview, DecodeLuma(dir_->Path("previewed.amv"), 59, kWidth, kHeight)), same + 3);
  run = Convert("clip.mp4", {"-ss", "10", "-to", "20", "-preview", "10.5"}, "past.ppm");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(Lines(run.err).back(), "The video ends at 10.00 s; there is no picture at 10.50 s.");
}

TEST(MomentText, ReadsSecondsOrHoursMinutesAndSeconds) {
  const std::pair<const char*, double> read[] = {
      {"0", 0}, {"75.5", 75.5}, {"1:15.5", 75.5}, {"0:01:15.5", 75.5}, {"2:00:00", 7200}, {"10:59:59", 39599}};
  for (const auto& [text, seconds] : read) EXPECT_EQ(ReadMoment(text), seconds) << text;
  for (const char* refused : {"", "-1", "+3", "1:60", "1:2:3:4", "1.5:00", "soon", "1e3", ":5", "5:", "1::2"})
    EXPECT_FALSE(ReadMoment(refused)) << refused;
}

}  // namespace
