// The decoder's shortcuts on real encodes: taken by the output size, turned
// off with "-decode full", and never changing which picture a frame shows.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

#include <gtest/gtest.h>

#include "encoder_harness.h"

namespace {

class EncoderFastDecoding : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new ScratchDir;
    // B pictures, some of which no other picture refers to, at 30 fps.
    MakeClip("-f lavfi -i testsrc2=size=640x360:rate=30 -f lavfi -i sine=frequency=440:sample_rate=44100 -t 2 "
             "-c:v libx264 -preset medium -bf 3 -b-pyramid normal -pix_fmt yuv420p -c:a aac",
             Clip());
  }
  static void TearDownTestSuite() { delete dir_; }
  static std::string Clip() { return dir_->Path("clip.mp4"); }

  static RunResult Convert(const EncoderCall& call, bool fullDecode = false) {
    std::vector<std::string> arguments = call.Arguments();
    if (fullDecode) arguments.insert(arguments.end() - 1, {"-decode", "full"});
    RunResult run = RunEncoder(arguments, *dir_);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run;
  }

  static ScratchDir* dir_;
};

ScratchDir* EncoderFastDecoding::dir_ = nullptr;

// The "read" and "decoded" counts of the closing picture line.
std::pair<int, int> PictureCounts(const std::string& err) {
  std::smatch match;
  if (!std::regex_search(err, match, std::regex(R"(pictures: (\d+) read, (\d+) decoded)"))) {
    ADD_FAILURE() << err;
    return {0, 0};
  }
  return {std::stoi(match[1]), std::stoi(match[2])};
}

TEST_F(EncoderFastDecoding, TheInLoopFilterIsLeftOutOnlyWhereThePictureShrinksEnough) {
  const struct {
    const char* size;
    int cropTopAndBottom;
    bool fullDecode;
    bool fast;
  } cases[] = {
      {"96x64", 0, false, true},
      {"176x144", 0, false, true},
      {"96x64", 0, true, false},
      {"208x176", 0, false, true},
      {"208x176", 5, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.size) + " cropped by " + std::to_string(c.cropTopAndBottom) +
                 (c.fullDecode ? ", full decoding" : ""));
    EncoderCall call;
    call.input = Clip();
    call.output = dir_->Path(std::string("size-") + c.size + (c.fullDecode ? "-full" : "") +
                             std::to_string(c.cropTopAndBottom) + ".amv");
    call.size = c.size;
    call.cropTop = call.cropBottom = c.cropTopAndBottom;
    const std::string err = Convert(call, c.fullDecode).err;
    const std::string line = "Fast decoding: the picture shrinks to half its size or less; "
                             "B pictures skip the in-loop filter.";
    EXPECT_EQ(err.find(line) != std::string::npos, c.fast) << err;
  }
}

TEST_F(EncoderFastDecoding, PicturesTheRateDropsAreNotDecodedAndTheOthersAreUnchanged) {
  // Containers that stamp pictures in presentation order, and AVI, which
  // stamps them in decoding order: its B pictures' stamps are guessed and its
  // packets' durations may be a fraction of the spacing. None of these sizes
  // is small enough for the filter to be left out, so every frame written
  // must be the very one full decoding gives.
  const std::string mkv = dir_->Path("mpeg4.mkv");
  MakeClip("-f lavfi -i testsrc2=size=320x240:rate=30 -t 2 -c:v mpeg4 -bf 2 -q:v 4", mkv);
  const std::string avi = dir_->Path("mpeg4-remuxed.avi");
  MakeClip("-i " + ShellQuote(mkv) + " -c copy", avi);
  const std::string bPictures = "-f lavfi -i testsrc2=size=320x240:rate=30 -t 2 -bf 2 -q:v 4 -c:v ";
  const std::string mpg = dir_->Path("mpeg2.mpg"), ts = dir_->Path("mpeg2.ts"), flv = dir_->Path("h264.flv");
  MakeClip(bPictures + "mpeg2video", mpg);
  MakeClip(bPictures + "mpeg2video", ts);
  MakeClip(bPictures + "libx264", flv);
  // Interlaced MPEG-2 made of frame pictures, and pictures that all stand alone.
  const std::string interlaced = dir_->Path("interlaced-mpeg2.ts"), mjpeg = dir_->Path("mjpeg.avi");
  MakeClip(bPictures + "mpeg2video -flags +ilme+ildct -top 1", interlaced);
  MakeClip("-f lavfi -i testsrc2=size=320x240:rate=30 -t 2 -c:v mjpeg -pix_fmt yuvj420p", mjpeg);
  const struct {
    std::string input;
    int cropTopAndBottom;  // 640x360 into 208x176 shrinks to half unless cropped
  } sources[] = {{Clip(), 5}, {mkv, 0}, {avi, 0}, {mpg, 0}, {ts, 0}, {flv, 0}, {interlaced, 0}, {mjpeg, 0}};
  for (const auto& source : sources) {
    for (int fps : {10, 12, 16}) {
      SCOPED_TRACE(source.input + " at " + std::to_string(fps) + " fps");
      EncoderCall call;
      call.input = source.input;
      call.size = "208x176";
      call.cropTop = call.cropBottom = source.cropTopAndBottom;
      call.fps = fps;
      const std::string name = std::filesystem::path(source.input).filename().string() + "-" + std::to_string(fps);
      call.output = dir_->Path("fast-" + name + ".amv");
      const auto [read, decoded] = PictureCounts(Convert(call).err);
      EncoderCall full = call;
      full.output = dir_->Path("full-" + name + ".amv");
      const auto [fullRead, fullDecoded] = PictureCounts(Convert(full, true).err);

      EXPECT_EQ(read, 60);
      EXPECT_EQ(fullRead, 60);
      EXPECT_EQ(fullDecoded, 60);
      EXPECT_LT(decoded, 60);
      EXPECT_GE(decoded, 2 * fps);
      EXPECT_TRUE(ReadWholeFile(call.output) == ReadWholeFile(full.output));
    }
  }
}

TEST_F(EncoderFastDecoding, InterlacedPicturesAreAllDecoded) {
  const std::string clip = dir_->Path("interlaced.ts");
  MakeClip("-f lavfi -i testsrc2=size=320x240:rate=30 -t 1 -c:v libx264 -x264-params interlaced=1:bframes=3 "
           "-pix_fmt yuv420p",
           clip);
  EncoderCall call;
  call.input = clip;
  call.output = dir_->Path("interlaced.amv");
  call.fps = 10;
  const auto [read, decoded] = PictureCounts(Convert(call).err);
  EXPECT_EQ(read, 30);
  EXPECT_EQ(decoded, 30);
}

TEST_F(EncoderFastDecoding, ThePictureStaysCloseToFullDecodingWhereTheFilterIsLeftOut) {
  const std::string clip = dir_->Path("detailed.mp4");
  // Moving detail with grain, which the in-loop filter works hardest on.
  MakeClip("-f lavfi -i testsrc2=size=960x540:rate=30 -t 2 -vf noise=alls=10:allf=t+u "
           "-c:v libx264 -preset veryfast -pix_fmt yuv420p",
           clip);
  for (const char* size : {"96x64", "176x144"}) {
    SCOPED_TRACE(size);
    EncoderCall call;
    call.input = clip;
    call.size = size;
    call.output = dir_->Path(std::string("detailed-fast-") + size + ".amv");
    ASSERT_NE(Convert(call).err.find("Fast decoding"), std::string::npos);
    EncoderCall full = call;
    full.output = dir_->Path(std::string("detailed-full-") + size + ".amv");
    Convert(full, true);
    const std::string log = Capture("ffmpeg -nostdin -i " + ShellQuote(call.output) + " -i " +
                                    ShellQuote(full.output) + " -lavfi psnr -f null - 2>&1");
    std::smatch match;
    ASSERT_TRUE(std::regex_search(log, match, std::regex(R"(average:([0-9.]+|inf))"))) << log;
    if (match[1] != "inf") {
      EXPECT_GT(std::stod(match[1]), 45);
    }
  }
}

TEST_F(EncoderFastDecoding, HalvedDecodingStaysWithinHalfADecibelOfFullDecoding) {
  // Grain at the output's own rate, so every picture is a frame: luma PSNR
  // against the source scaled with lanczos, fast against full decoding.
  const struct {
    std::string source;
    const char* sourceSize;
    const char* encoding;
    const char* size;
    int cropTopAndBottom;  // counted on the source, so halved with it
    const char* line;
  } cases[] = {
      {"mjpeg.avi", "640x480", "-c:v mjpeg -pix_fmt yuvj420p", "160x120", 0, "decoded at 1/4 of their size"},
      {"mjpeg-wide.avi", "1280x720", "-c:v mjpeg -pix_fmt yuvj420p", "208x176", 0, "decoded at 1/4 of their size"},
      {"mpeg2.mpg", "720x576", "-c:v mpeg2video -bf 2 -q:v 4 -flags +ilme+ildct", "160x120", 24,
       "decoded at 1/2 of their size"},
  };
  const auto lumaPsnr = [](const std::string& file, const std::string& reference) {
    const std::string log = Capture("ffmpeg -nostdin -i " + ShellQuote(file) + " -i " + ShellQuote(reference) +
                                    " -lavfi '[0]format=yuvj420p[a];[1]format=yuvj420p[b];[a][b]psnr' -f null - 2>&1");
    std::smatch match;
    EXPECT_TRUE(std::regex_search(log, match, std::regex(R"(PSNR y:([0-9.]+))"))) << log;
    return match.empty() ? 0.0 : std::stod(match[1]);
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source + " into " + c.size);
    const std::string source = dir_->Path(c.source);
    MakeClip(std::string("-f lavfi -i testsrc2=size=") + c.sourceSize + ":rate=12 -t 2 -vf noise=alls=10:allf=t+u " +
                 c.encoding,
             source);
    const std::string reference = dir_->Path(c.source + ".nut");
    std::string scale = c.size;
    scale[scale.find('x')] = ':';
    const std::string crop = std::to_string(c.cropTopAndBottom);
    MakeClip("-i " + ShellQuote(source) + " -vf crop=iw:ih-2*" + crop + ":0:" + crop + ",scale=" + scale +
                 ":flags=lanczos -c:v rawvideo -f nut",
             reference);
    EncoderCall call;
    call.input = source;
    call.size = c.size;
    call.cropTop = call.cropBottom = c.cropTopAndBottom;
    call.output = dir_->Path(c.source + "-fast.amv");
    EXPECT_NE(Convert(call).err.find(c.line), std::string::npos);
    EncoderCall full = call;
    full.output = dir_->Path(c.source + "-full.amv");
    Convert(full, true);
    EXPECT_NEAR(lumaPsnr(call.output, reference), lumaPsnr(full.output, reference), 0.5);
  }
}

}  // namespace
