// The preview mode writes the very picture a conversion with the same options
// shows at the same moment, and fails with one line where there is none.

#include <cmath>
#include <filesystem>

#include <gtest/gtest.h>

#include "encoder_harness.h"

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr int kFps = 10;

double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  EXPECT_EQ(a.size(), b.size());
  double sum = 0;
  for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) sum += (a[i] - b[i]) * double(a[i] - b[i]);
  const double mean = sum / std::max<size_t>(1, a.size());
  return mean == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mean);
}

class EncoderPreview : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new ScratchDir;
    // A test card with a white bar that jumps 37 pixels every picture, so a
    // picture from a neighbouring moment differs clearly; H.264 with key
    // pictures two seconds apart, so the preview has to seek and decode on.
    const std::string film = "-f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i color=white:size=40x200:rate=25 "
                             "-f lavfi -i sine=sample_rate=44100 -t 5 -filter_complex " +
                             ShellQuote("[0][1]overlay=x=mod(n*37\\,280):y=20") +
                             " -c:v libx264 -preset ultrafast -g 50 -pix_fmt yuv420p -c:a aac";
    MakeClip(film, Source());
    // A transport stream's clock starts well after zero, as broadcasts' do.
    MakeClip(film + " -output_ts_offset 7", LateSource());
  }
  static void TearDownTestSuite() { delete dir_; }

  static std::string Source() { return dir_->Path("source.mp4"); }
  static std::string LateSource() { return dir_->Path("late.ts"); }

  static RunResult Preview(EncoderCall call, const std::string& moment, const std::string& picture) {
    std::vector<std::string> arguments = call.Arguments();
    arguments.insert(arguments.begin(), {"-preview", moment});
    arguments.back() = dir_->Path(picture);
    return RunEncoder(arguments, *dir_);
  }

  // Moments on a frame, between frames and past the first key picture.
  static void ExpectPreviewsMatchTheConversion(const EncoderCall& call, const std::string& name) {
    for (const auto& [moment, frame] : {std::pair{"0", 0}, {"1.35", 13}, {"2.5", 25}, {"4.9", 49}}) {
      SCOPED_TRACE(moment);
      const std::string picture = name + "-" + moment + ".ppm";
      const RunResult run = Preview(call, moment, picture);
      ASSERT_EQ(run.exitCode, 0) << run.err;
      const auto preview = DecodeLuma(dir_->Path(picture), 0, kWidth, kHeight);
      const double same = Psnr(preview, DecodeLuma(call.output, frame, kWidth, kHeight));
      EXPECT_GT(same, 30);
      // A neighbouring frame looks clearly different: the moment is right.
      const int other = frame == 0 ? 1 : frame - 1;
      EXPECT_GT(same, Psnr(preview, DecodeLuma(call.output, other, kWidth, kHeight)) + 6);
    }
  }

  static ScratchDir* dir_;
};

ScratchDir* EncoderPreview::dir_ = nullptr;

TEST_F(EncoderPreview, PictureEqualsTheConvertedFrameOfTheSameMoment) {
  struct Case {
    const char* name;
    int cropTop, cropBottom, cropLeft, cropRight;
    int padTop, padBottom, padLeft, padRight;
  };
  const Case cases[] = {
      {"plain", 0, 0, 0, 0, 0, 0, 0, 0},
      {"letterbox", 0, 0, 0, 0, 20, 20, 0, 0},
      {"cropped", 25, 3, 10, 0, 0, 0, 0, 0},
      {"uneven", 7, 0, 0, 25, 5, 0, 25, 11},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EncoderCall call;
    call.input = Source();
    call.fps = kFps;
    call.cropTop = c.cropTop, call.cropBottom = c.cropBottom, call.cropLeft = c.cropLeft;
    call.cropRight = c.cropRight;
    call.padTop = c.padTop, call.padBottom = c.padBottom, call.padLeft = c.padLeft, call.padRight = c.padRight;
    call.output = dir_->Path(std::string(c.name) + ".amv");
    const RunResult converted = RunEncoder(call, *dir_);
    ASSERT_EQ(converted.exitCode, 0) << converted.err;
    ExpectPreviewsMatchTheConversion(call, c.name);
  }
}

// Moments count from the start of the file, not from zero on its clock.
TEST_F(EncoderPreview, AFileWhoseClockStartsLateShowsTheSameMoments) {
  EncoderCall call;
  call.input = LateSource();
  call.fps = kFps;
  call.output = dir_->Path("late.amv");
  const RunResult converted = RunEncoder(call, *dir_);
  ASSERT_EQ(converted.exitCode, 0) << converted.err;
  ExpectPreviewsMatchTheConversion(call, "late");
}

TEST_F(EncoderPreview, TellsTheSourceGeometryFirst) {
  MakeClip("-f lavfi -i testsrc=size=720x480:rate=25 -t 1 -vf setsar=32/27 -c:v libx264 -preset ultrafast",
           dir_->Path("anamorphic.mp4"));
  MakeClip("-i " + ShellQuote(dir_->Path("anamorphic.mp4")) + " -c copy -metadata:s:v:0 rotate=90",
           dir_->Path("turned.mp4"));
  EncoderCall call;
  call.input = dir_->Path("anamorphic.mp4");
  RunResult run = Preview(call, "0.5", "anamorphic.ppm");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(Lines(run.err).at(0), "Preview source: 720x480, aspect 32:27, rotation 0, duration 1.000");
  call.input = dir_->Path("turned.mp4");
  run = Preview(call, "0", "turned.ppm");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  // Which way the muxer turns a "rotate" tag is its own business; a quarter turn it is.
  EXPECT_TRUE(run.err.find("rotation 90,") != std::string::npos || run.err.find("rotation 270,") != std::string::npos)
      << run.err;
}

TEST_F(EncoderPreview, FailsWithOneLineAndWritesNothing) {
  dir_->Write("notes.mp4", "These are my notes, not a film.\n");
  dir_->Write("taken.ppm", "mine");
  struct Case {
    const char* input;
    const char* moment;
    const char* picture;
    const char* expected;
  };
  const Case cases[] = {
      {"source.mp4", "5.5", "late.ppm", "The video ends at 5.00 s; there is no picture at 5.50 s."},
      // The last picture lasts until the end, not through it.
      {"source.mp4", "5", "end.ppm", "The video ends at 5.00 s; there is no picture at 5.00 s."},
      {"missing.mp4", "0", "missing.ppm", "No such file or directory"},
      {"notes.mp4", "0", "notes.ppm", "notes.mp4: "},
      {"source.mp4", "0", "taken.ppm", "already exists"},
      {"source.mp4", "-1", "negative.ppm", "Invalid moment '-1' for option '-preview'"},
      {"source.mp4", "soon", "soon.ppm", "Invalid moment 'soon'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    EncoderCall call;
    call.input = dir_->Path(c.input);
    const bool existed = FileExists(dir_->Path(c.picture));
    const RunResult run = Preview(call, c.moment, c.picture);
    EXPECT_EQ(run.exitCode, 1);
    const std::vector<std::string> lines = Lines(run.err);
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find(c.expected), std::string::npos) << run.err;
    if (existed) EXPECT_EQ(dir_->Read(c.picture), "mine");
    else EXPECT_FALSE(FileExists(dir_->Path(c.picture)));
  }
}

}  // namespace
