// Every frame size and rate the task editor offers gives a file that stock
// FFmpeg reads back whole, with sound chunks that keep step with the picture.

#include <regex>

#include <gtest/gtest.h>

#include "encoder_harness.h"

namespace {

constexpr double kClipSeconds = 1.5;

class EncoderFormats : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new ScratchDir;
    MakeClip("-f lavfi -i testsrc2=size=320x240:rate=25 -f lavfi -i sine=frequency=440:sample_rate=44100 -t 1.5 "
             "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -ac 2",
             Clip());
  }
  static void TearDownTestSuite() { delete dir_; }
  static std::string Clip() { return dir_->Path("clip.mp4"); }
  static ScratchDir* dir_;
};

ScratchDir* EncoderFormats::dir_ = nullptr;

TEST_F(EncoderFormats, EverySizeAndRateReadsBackWhole) {
  const char* sizes[] = {"96x64",   "128x96",  "128x128", "160x120", "176x128",
                         "176x144", "192x160", "208x120", "208x160", "208x176"};
  for (const char* size : sizes) {
    for (int fps : {10, 12, 16}) {
      SCOPED_TRACE(std::string(size) + " at " + std::to_string(fps) + " fps");
      EncoderCall call;
      call.input = Clip();
      call.output = dir_->Path(std::string(size) + "-" + std::to_string(fps) + ".amv");
      call.size = size;
      call.fps = fps;
      const RunResult run = RunEncoder(call, *dir_);
      ASSERT_EQ(run.exitCode, 0) << run.err;

      const Probe probe = ProbeFile(call.output);
      const auto& streams = probe.streams;
      ASSERT_EQ(streams.size(), 2u);
      const auto& video = streams[0];
      const auto& audio = streams[1];
      const std::string width = std::string(size).substr(0, std::string(size).find('x'));
      const std::string height = std::string(size).substr(std::string(size).find('x') + 1);
      EXPECT_EQ(video.at("codec_type"), "video");
      EXPECT_EQ(video.at("codec_name"), "amv");
      EXPECT_EQ(video.at("width"), width);
      EXPECT_EQ(video.at("height"), height);
      EXPECT_EQ(video.at("r_frame_rate"), std::to_string(fps) + "/1");
      EXPECT_EQ(audio.at("codec_name"), "adpcm_ima_amv");
      EXPECT_EQ(audio.at("sample_rate"), "22050");
      EXPECT_EQ(audio.at("channels"), "1");
      EXPECT_EQ(video.at("nb_read_packets"), audio.at("nb_read_packets"));
      EXPECT_EQ(std::stoi(video.at("nb_read_packets")), static_cast<int>(kClipSeconds * fps + 0.5));

      // Chunk n ends exactly at sample floor((n + 1) * 22050 / fps): sound never drifts from the picture.
      const std::vector<int>& chunks = probe.soundChunks;
      long long total = 0;
      for (size_t n = 0; n < chunks.size(); ++n) {
        total += chunks[n];
        ASSERT_EQ(total, static_cast<long long>(n + 1) * 22050 / fps) << "chunk " << n;
      }
      EXPECT_NEAR(static_cast<double>(total), 22050 * kClipSeconds, 22050.0 / fps);

      EXPECT_EQ(Capture("ffmpeg -nostdin -v error -i " + ShellQuote(call.output) + " -f null - 2>&1"), "");
    }
  }
}

TEST_F(EncoderFormats, TwelveFramesASecondAlternateSoundChunksOf1837And1838Samples) {
  EncoderCall call;
  call.input = Clip();
  call.output = dir_->Path("twelve.amv");
  call.fps = 12;
  ASSERT_EQ(RunEncoder(call, *dir_).exitCode, 0);
  const std::vector<int> chunks = ProbeFile(call.output).soundChunks;
  ASSERT_EQ(chunks.size(), 18u);
  for (size_t n = 0; n < chunks.size(); ++n) EXPECT_EQ(chunks[n], n % 2 ? 1838 : 1837) << "chunk " << n;
}

TEST_F(EncoderFormats, StderrCarriesTheLinesTheBatchDriverReads) {
  EncoderCall call;
  call.input = Clip();
  call.output = dir_->Path("lines.amv");
  call.fps = 10;
  const RunResult run = RunEncoder(call, *dir_);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.err);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "Input #0, mov,mp4,m4a,3gp,3g2,mj2, from '" + Clip() + "':");
  // The duration line reads exactly as the stock tools write it for the same file.
  const std::string stock = Capture("ffprobe -hide_banner " + ShellQuote(Clip()) + " 2>&1");
  const size_t duration = stock.find("  Duration: ");
  ASSERT_NE(duration, std::string::npos) << stock;
  EXPECT_EQ(lines[1], stock.substr(duration, stock.find('\n', duration) - duration));
  EXPECT_TRUE(lines[1].starts_with("  Duration: 00:00:01.5")) << lines[1];
  EXPECT_NE(run.err.find("Output #0, amv, to '" + call.output + "':\n"), std::string::npos);

  // The last progress line ends with a line feed and gives the whole play time in plain seconds.
  const std::regex progress(
      R"(frame= {0,4}\d+ fps= {0,2}\d+ q= ?\d+\.\d size= {0,7}\d+kB time=\d+\.\d\d bitrate= {0,5}\d+\.\dkbits/s)");
  const size_t finalStart = run.err.rfind("frame=");
  ASSERT_NE(finalStart, std::string::npos);
  const std::string finalLine = run.err.substr(finalStart, run.err.find('\n', finalStart) - finalStart);
  EXPECT_TRUE(std::regex_match(finalLine, progress)) << finalLine;
  EXPECT_NE(finalLine.find("frame=   15 "), std::string::npos) << finalLine;
  EXPECT_NE(finalLine.find(" time=1.50 "), std::string::npos) << finalLine;
}

}  // namespace

namespace {

uint32_t WordAt(const std::string& bytes, size_t offset) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes[offset + i]);
  return value;
}

}  // namespace

TEST_F(EncoderFormats, StreamHeadersAreEmptyAsInPlayersOwnFilesWhereTheRateStaysExact) {
  // The scale and rate of both stream headers: zero as players' own files
  // have them, but at 12 fps, where FFmpeg would read 83333 microseconds as 12.000005 fps.
  struct Case {
    int fps;
    uint32_t scale;
    uint32_t rate;
  };
  for (const Case& c : {Case{10, 0, 0}, Case{12, 1, 12}, Case{16, 0, 0}}) {
    SCOPED_TRACE(std::to_string(c.fps) + " fps");
    EncoderCall call;
    call.input = Clip();
    call.output = dir_->Path("headers-" + std::to_string(c.fps) + ".amv");
    call.fps = c.fps;
    ASSERT_EQ(RunEncoder(call, *dir_).exitCode, 0);
    const std::string bytes = dir_->Read("headers-" + std::to_string(c.fps) + ".amv");
    int headers = 0;
    for (size_t at = bytes.find("strh"); at != std::string::npos && at < 512; at = bytes.find("strh", at + 4)) {
      ++headers;
      EXPECT_EQ(WordAt(bytes, at + 8 + 20), c.scale);
      EXPECT_EQ(WordAt(bytes, at + 8 + 24), c.rate);
      for (size_t i = at + 8; i < at + 8 + 20; ++i) EXPECT_EQ(bytes[i], 0) << "byte " << i;
    }
    EXPECT_EQ(headers, 2);
    EXPECT_EQ(ProbeFile(call.output).streams[0].at("r_frame_rate"), std::to_string(c.fps) + "/1");
  }
}

namespace {

TEST_F(EncoderFormats, TheStreamsFlaggedAsDefaultAreConvertedAndNamed) {
  // Black first, white flagged as default; silence first, then a tone flagged as default, for the hard of
  // hearing, which FFmpeg alone ranks no higher than the silence.
  const std::string sources =
      "-f lavfi -i color=black:size=160x120:rate=10 -f lavfi -i color=white:size=160x120:rate=10 "
      "-f lavfi -i anullsrc=sample_rate=44100 -f lavfi -i sine=sample_rate=44100 -t 1 -map 0 -map 1 -map 2 -map 3 "
      "-disposition:v:0 0 -disposition:v:1 default -disposition:a:0 0 -disposition:a:1 default+hearing_impaired "
      "-metadata:s:a:1 language=ger -metadata:s:a:1 title=Kommentar ";
  for (const char* extension : {"mkv", "mp4"}) {
    SCOPED_TRACE(extension);
    const std::string input = dir_->Path(std::string("defaults.") + extension);
    MakeClip(sources + "-c:v mpeg4 -c:a aac", input);
    EncoderCall call;
    call.input = input;
    call.output = dir_->Path(std::string("defaults-") + extension + ".amv");
    const RunResult run = RunEncoder(call, *dir_);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("  Stream #0:1: Video: mpeg4"), std::string::npos) << run.err;
    // MP4 keeps no track titles.
    const std::string title = extension == std::string("mkv") ? " \"Kommentar\"" : "";
    EXPECT_NE(run.err.find("  Stream #0:3(ger): Audio: aac, 44100 Hz, mono (default)" + title + "\n"),
              std::string::npos)
        << run.err;
    const std::vector<uint8_t> luma = DecodeLuma(call.output, 5, 160, 120);
    EXPECT_GT(luma[60 * 160 + 80], 200);
    EXPECT_GT(Rms(DecodeSound(call.output)), 1000);
  }
}

}  // namespace
