// What the options do to the picture and the sound, checked on the decoded
// output: crop and pad bands, volume levels, a silent track for a video
// without sound, and the three quality ranges.

#include <regex>

#include <gtest/gtest.h>

#include "encoder_harness.h"

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;

class EncoderPictureSound : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new ScratchDir;
    // White with a 16-pixel black frame all round, stored losslessly.
    MakeClip("-f lavfi -i color=white:size=288x208:rate=10 -vf pad=320:240:16:16:black -t 1 -c:v ffv1", Framed());
    // A 1 kHz tone at a tenth of full scale, already mono 22050 Hz so the
    // volume is the only change.
    MakeClip("-f lavfi -i testsrc2=size=160x120:rate=10 -f lavfi -i " +
                 ShellQuote("aevalsrc=0.1*sin(2*PI*1000*t):s=22050") + " -t 1.5 -c:v ffv1 -c:a pcm_s16le",
             Tone());
    MakeClip("-f lavfi -i mandelbrot=size=320x240:rate=10 -t 2 -c:v ffv1", Detailed());
  }
  static void TearDownTestSuite() { delete dir_; }

  static std::string Framed() { return dir_->Path("framed.mkv"); }
  static std::string Tone() { return dir_->Path("tone.mkv"); }
  static std::string Detailed() { return dir_->Path("detailed.mkv"); }

  static std::vector<uint8_t> Convert(EncoderCall call, const std::string& name) {
    call.output = dir_->Path(name);
    const RunResult run = RunEncoder(call, *dir_);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return DecodeLuma(call.output, 5, kWidth, kHeight);
  }

  static ScratchDir* dir_;
};

ScratchDir* EncoderPictureSound::dir_ = nullptr;

uint8_t At(const std::vector<uint8_t>& luma, int x, int y) { return luma[static_cast<size_t>(y) * kWidth + x]; }

// Checks a row or column of the picture: dark up to `darkBefore`, bright from
// two pixels inside it to two pixels before `darkFrom`, dark from `darkFrom`.
// Two pixels are left free for the scaler's and the JPEG blocks' soft edge.
void ExpectBands(const std::vector<uint8_t>& luma, bool alongRows, int darkBefore, int darkFrom) {
  const int length = alongRows ? kHeight : kWidth;
  for (int i = 0; i < length; ++i) {
    const uint8_t value = alongRows ? At(luma, kWidth / 2, i) : At(luma, i, kHeight / 2);
    const std::string where = std::string(alongRows ? "row " : "column ") + std::to_string(i);
    if (i < darkBefore - 1 || i > darkFrom) {
      EXPECT_LT(value, 50) << where;
    } else if (i >= darkBefore + 2 && i < darkFrom - 2) {
      EXPECT_GT(value, 200) << where;
    }
  }
}

TEST_F(EncoderPictureSound, UncroppedFrameIsScaledWithItsBorder) {
  EncoderCall call;
  call.input = Framed();
  const auto luma = Convert(call, "plain.amv");
  ExpectBands(luma, true, 8, kHeight - 8);
  ExpectBands(luma, false, 8, kWidth - 8);
}

TEST_F(EncoderPictureSound, CropRemovesTheBorderAndOddPadsGiveBlackBandsOfTheirOwnWidth) {
  EncoderCall call;
  call.input = Framed();
  call.cropTop = call.cropBottom = call.cropLeft = call.cropRight = 16;
  call.padTop = 10;
  call.padBottom = 3;
  call.padLeft = 7;
  call.padRight = 13;
  const auto luma = Convert(call, "padded.amv");
  ExpectBands(luma, true, 10, kHeight - 3);
  ExpectBands(luma, false, 7, kWidth - 13);
}

TEST_F(EncoderPictureSound, TheEditorsLargestBandsAndASingleQuantiserAreTaken) {
  EncoderCall call;
  call.input = Framed();
  call.cropTop = call.cropBottom = call.cropLeft = call.cropRight = 25;
  call.padTop = call.padBottom = call.padLeft = call.padRight = 25;
  call.qmin = call.qmax = 4;
  const auto luma = Convert(call, "largest-bands.amv");
  // The crop takes the whole 16-pixel border away: white right up to the pads.
  ExpectBands(luma, true, 25, kHeight - 25);
  ExpectBands(luma, false, 25, kWidth - 25);
}

TEST_F(EncoderPictureSound, CropActsOnTheEdgeItNames) {
  EncoderCall call;
  call.input = Framed();
  call.cropTop = 16;
  call.cropLeft = 16;
  const auto luma = Convert(call, "top-left.amv");
  // What is left of the frame (16 of 224 rows, 16 of 304 columns) scales to about 8.6 by 8.4 pixels.
  ExpectBands(luma, true, 0, kHeight - 9);
  ExpectBands(luma, false, 0, kWidth - 9);
}

TEST_F(EncoderPictureSound, VolumeScalesTheSoundAsTheFormulaSays) {
  const std::vector<int16_t> source = DecodeSound(Tone());
  ASSERT_GT(source.size(), 30000u);
  for (int volume : {1, 8, 256, 2048}) {
    SCOPED_TRACE("vol " + std::to_string(volume));
    EncoderCall call;
    call.input = Tone();
    call.output = dir_->Path("vol" + std::to_string(volume) + ".amv");
    call.volume = volume;
    call.fps = 10;
    ASSERT_EQ(RunEncoder(call, *dir_).exitCode, 0);
    const std::vector<int16_t> decoded = DecodeSound(call.output);
    ASSERT_EQ(decoded.size(), 15u * 2205);
    // Whole cycles in the middle of the clip, away from the encoder's start-up.
    std::vector<int16_t> expected(source.begin() + 2205, source.begin() + 2205 + 26460);
    for (int16_t& s : expected) s = static_cast<int16_t>(std::clamp((s * volume + 128) >> 8, -32768, 32767));
    const std::vector<int16_t> got(decoded.begin() + 2205, decoded.begin() + 2205 + 26460);
    // IMA ADPCM keeps about 4 bits per sample: a tone a few steps high loses more in relative terms.
    const double tolerance = volume < 16 ? 0.25 : 0.03;
    EXPECT_NEAR(Rms(got), Rms(expected), Rms(expected) * tolerance);
  }
}

TEST_F(EncoderPictureSound, VideoWithoutSoundGetsASilentTrack) {
  EncoderCall call;
  // Quotes and spaces in both paths reach the encoder whole.
  call.input = dir_->Path("it's a \"framed\" clip.mkv");
  std::filesystem::copy_file(Framed(), call.input);
  call.output = dir_->Path("silent 'track'.amv");
  call.fps = 16;
  const RunResult run = RunEncoder(call, *dir_);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const Probe probe = ProbeFile(call.output);
  ASSERT_EQ(probe.streams.size(), 2u);
  EXPECT_EQ(probe.streams[1].at("codec_name"), "adpcm_ima_amv");
  EXPECT_EQ(probe.streams[0].at("nb_read_packets"), probe.streams[1].at("nb_read_packets"));
  const std::vector<int16_t> sound = DecodeSound(call.output);
  EXPECT_EQ(sound.size(), 16u * 22050 / 16);
  EXPECT_EQ(Rms(sound), 0.0);
}

TEST_F(EncoderPictureSound, SoundStaysWithThePictureOverTheWholeFile) {
  // A white flash with a tone burst at 1 s and again at 25 s of a 26 s clip
  // whose 25 fps become 16, a rate whose sound chunks do not divide evenly.
  const std::string clip = dir_->Path("flashes.mkv");
  const auto flashes = [](const std::string& time) {
    return "(between(" + time + "\\,1\\,1.5)+between(" + time + "\\,25\\,25.5))";
  };
  MakeClip("-f lavfi -i " +
               ShellQuote("color=black:size=160x120:rate=25,geq=lum=255*" + flashes("T") + ":cb=128:cr=128") +
               " -f lavfi -i " + ShellQuote("aevalsrc=0.5*sin(2*PI*1000*t)*" + flashes("t") + ":s=44100") +
               " -t 26 -c:v ffv1 -c:a pcm_s16le",
           clip);
  EncoderCall call;
  call.input = clip;
  call.output = dir_->Path("flashes.amv");
  call.fps = 16;
  ASSERT_EQ(RunEncoder(call, *dir_).exitCode, 0);

  const std::string means = Capture("ffmpeg -nostdin -v error -i " + ShellQuote(call.output) +
                                    " -vf format=gray,scale=1:1:flags=area -f rawvideo -");
  const std::vector<int16_t> sound = DecodeSound(call.output);
  for (double flash : {1.0, 25.0}) {
    SCOPED_TRACE("flash at " + std::to_string(flash) + " s");
    size_t frame = static_cast<size_t>(flash * 16) - 8;
    while (frame < means.size() && static_cast<uint8_t>(means[frame]) < 128) ++frame;
    size_t sample = static_cast<size_t>(flash * 22050) - 11025;
    while (sample < sound.size() && std::abs(sound[sample]) < 4000) ++sample;
    EXPECT_NEAR(frame / 16.0, flash, 1 / 16.0);
    EXPECT_NEAR(sample / 22050.0, frame / 16.0, 1 / 16.0);
  }
}

TEST_F(EncoderPictureSound, SoundThatStartsBeforeThePictureIsKept) {
  // The picture starts half a second after the sound.
  const std::string clip = dir_->Path("late-picture.mkv");
  MakeClip("-itsoffset 0.5 -f lavfi -i testsrc2=size=160x120:rate=25:duration=2 -f lavfi -i "
           "sine=frequency=1000:sample_rate=22050:duration=2.5 -c:v ffv1 -c:a pcm_s16le",
           clip);
  EncoderCall call;
  call.input = clip;
  call.output = dir_->Path("late-picture.amv");
  call.fps = 10;
  ASSERT_EQ(RunEncoder(call, *dir_).exitCode, 0);
  const Probe probe = ProbeFile(call.output);
  ASSERT_EQ(probe.streams.size(), 2u);
  EXPECT_EQ(probe.streams[0].at("nb_read_packets"), "25");
  const std::vector<int16_t> sound = DecodeSound(call.output);
  ASSERT_EQ(sound.size(), 25u * 2205);
  const std::vector<int16_t> firstHalfSecond(sound.begin() + 100, sound.begin() + 11025);
  EXPECT_GT(Rms(firstHalfSecond), 1000);
}

double Psnr(const std::string& amv, const std::string& source) {
  const std::string log = Capture("ffmpeg -nostdin -i " + ShellQuote(amv) + " -i " + ShellQuote(source) +
                                  " -lavfi " +
                                  ShellQuote("[1:v]scale=160:120,format=yuvj420p[ref];[0:v][ref]psnr") +
                                  " -f null - 2>&1");
  std::smatch match;
  if (!std::regex_search(log, match, std::regex(R"(average:([0-9.]+))"))) {
    ADD_FAILURE() << log;
    return 0;
  }
  return std::stod(match[1]);
}

TEST_F(EncoderPictureSound, QualityRangesOrderSizeAndFidelity) {
  struct Result {
    uintmax_t size;
    double psnr;
  };
  std::vector<Result> results;
  for (auto [qmin, qmax] : {std::pair{3, 4}, std::pair{3, 5}, std::pair{5, 6}}) {
    EncoderCall call;
    call.input = Detailed();
    call.output = dir_->Path("q" + std::to_string(qmin) + "-" + std::to_string(qmax) + ".amv");
    call.fps = 10;
    call.qmin = qmin;
    call.qmax = qmax;
    ASSERT_EQ(RunEncoder(call, *dir_).exitCode, 0);
    EXPECT_EQ(Capture("ffmpeg -nostdin -v error -i " + ShellQuote(call.output) + " -f null - 2>&1"), "");
    results.push_back({std::filesystem::file_size(call.output), Psnr(call.output, Detailed())});
  }
  // High, Medium, Low: each smaller and less faithful than the one before, by a visible margin.
  for (size_t i = 1; i < results.size(); ++i) {
    EXPECT_LT(results[i].size, results[i - 1].size * 0.97) << "range " << i;
    EXPECT_LT(results[i].psnr, results[i - 1].psnr - 0.3) << "range " << i;
  }
}

}  // namespace

namespace {

// The mean grey level of each quarter-wide, quarter-high cell, row by row.
std::vector<int> Cells(const std::string& file) {
  const std::string cells =
      Capture("ffmpeg -nostdin -v error -i " + ShellQuote(file) + " -frames:v 1 -vf format=gray,scale=4:4:flags=area -f rawvideo -");
  EXPECT_EQ(cells.size(), 16u);
  return {reinterpret_cast<const uint8_t*>(cells.data()), reinterpret_cast<const uint8_t*>(cells.data()) + cells.size()};
}

// A bright band along the top and a dark one down the left side.
void ExpectUpright(const std::vector<int>& cells) {
  ASSERT_EQ(cells.size(), 16u);
  for (int column = 1; column < 4; ++column) EXPECT_GT(cells[column], cells[12 + column] + 40);
  for (int row = 0; row < 4; ++row) EXPECT_LT(cells[4 * row], cells[4 * row + 3] - 30);
}

}  // namespace

TEST_F(EncoderPictureSound, PhoneVideosComeOutUpright) {
  // A portrait picture, stored turned as phones store it, with the display
  // matrix that turns it back.
  const std::string upright =
      "color=gray:size=240x320:rate=25,drawbox=x=0:y=0:w=240:h=60:color=white:t=fill,"
      "drawbox=x=0:y=0:w=40:h=320:color=black:t=fill";
  struct Case {
    int tag;
    const char* storedBy;
  };
  for (const Case& c : {Case{90, "transpose=clock"}, Case{180, "hflip,vflip"}, Case{270, "transpose=cclock"}}) {
    SCOPED_TRACE("rotate " + std::to_string(c.tag));
    const std::string turned = dir_->Path("turned" + std::to_string(c.tag) + ".mp4");
    MakeClip("-f lavfi -i " + ShellQuote(upright) + " -t 1 -vf " + c.storedBy + " -c:v libx264 -preset ultrafast",
             turned);
    const std::string phone = dir_->Path("phone" + std::to_string(c.tag) + ".mp4");
    MakeClip("-i " + ShellQuote(turned) + " -c copy -metadata:s:v:0 rotate=" + std::to_string(c.tag), phone);
    // Stock FFmpeg, which follows the matrix, sees it upright.
    ExpectUpright(Cells(phone));
    EncoderCall call;
    call.input = phone;
    call.output = dir_->Path("phone" + std::to_string(c.tag) + ".amv");
    ASSERT_EQ(RunEncoder(call, *dir_).exitCode, 0);
    ExpectUpright(Cells(call.output));
  }
}
