// Real-world files are messier than generated clips: time stamps that reset
// or jump, damaged stamps. Each must give an output as long as its content,
// never a runaway file.

#include <algorithm>

#include <gtest/gtest.h>

#include "encoder_harness.h"

namespace {

constexpr int kFps = 12;
// A broken encoder must not fill the disk while these tests run.
const std::string kSizeLimit = "ulimit -f 200000; ";

class EncoderMessyInput : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { dir_ = new ScratchDir; }
  static void TearDownTestSuite() { delete dir_; }

  // An MPEG-TS (or DVD .vob) part of `seconds` whose stamps start at `offset` seconds.
  static std::string Part(double seconds, double offset, const std::string& extension = "ts") {
    const std::string name = "part-" + std::to_string(seconds) + "-" + std::to_string(offset) + "." + extension;
    MakeClip("-f lavfi -i testsrc2=size=320x240:rate=25 -f lavfi -i sine=sample_rate=44100 -t " +
                 std::to_string(seconds) + " -c:v mpeg2video -c:a mp2 -output_ts_offset " + std::to_string(offset),
             dir_->Path(name));
    return dir_->Read(name);
  }

  static EncoderCall CallFor(const std::string& input, const std::string& output) {
    EncoderCall call;
    call.input = input;
    call.output = dir_->Path(output);
    call.fps = kFps;
    return call;
  }

  // Converts `input`; the exit code and the play time of the output in seconds.
  static std::pair<int, double> Convert(const std::string& input, const std::string& output) {
    const EncoderCall call = CallFor(input, output);
    const RunResult run = RunEncoder(call.Arguments(), *dir_, kSizeLimit);
    if (run.exitCode != 0) return {run.exitCode, 0};
    const Probe probe = ProbeFile(call.output);
    EXPECT_EQ(probe.streams.size(), 2u);
    if (probe.streams.size() != 2) return {run.exitCode, 0};
    EXPECT_EQ(probe.streams[0].at("nb_read_packets"), probe.streams[1].at("nb_read_packets"));
    return {run.exitCode, std::stod(probe.streams[0].at("nb_read_packets")) / kFps};
  }

  static ScratchDir* dir_;
};

ScratchDir* EncoderMessyInput::dir_ = nullptr;

TEST_F(EncoderMessyInput, JoinedRecordingsGiveTheirContentWhateverTheirStamps) {
  struct Case {
    const char* name;
    double firstOffset;
    double secondOffset;
    const char* extension;
    double contentSeconds;
  };
  const Case cases[] = {
      {"reset to zero", 50, 0, "ts", 16},
      {"jump back", 100, 10, "ts", 16},
      {"jump forward by 90 s", 0, 98, "ts", 16},
      {"DVD reset", 30, 0, "vob", 16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string joined =
        dir_->Write(std::string(c.name) + "." + c.extension,
                    Part(8, c.firstOffset, c.extension) + Part(8, c.secondOffset, c.extension));
    const auto [exitCode, seconds] = Convert(joined, std::string(c.name) + ".amv");
    EXPECT_EQ(exitCode, 0);
    EXPECT_NEAR(seconds, c.contentSeconds, 1.0);
  }
}

// Sets the stamp of the `index`th tag of `type` (8 sound, 9 picture) in an
// FLV file, or of every such tag for index 0.
std::string WithFlvStamp(std::string flv, int type, int index, uint32_t milliseconds) {
  size_t position = 9 + 4;
  int seen = 0;
  while (position + 11 <= flv.size()) {
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(flv[position + i]); };
    const size_t size = byte(1) << 16 | byte(2) << 8 | byte(3);
    if (byte(0) == type && (index == 0 || ++seen == index)) {
      flv[position + 4] = static_cast<char>(milliseconds >> 16);
      flv[position + 5] = static_cast<char>(milliseconds >> 8);
      flv[position + 6] = static_cast<char>(milliseconds);
      flv[position + 7] = static_cast<char>(milliseconds >> 24);
      if (index != 0) return flv;
    }
    position += 11 + size + 4;
  }
  if (index != 0) ADD_FAILURE() << "no tag " << index << " of type " << type;
  return flv;
}

TEST_F(EncoderMessyInput, OneDamagedStampInAnFlvChangesNothing) {
  MakeClip("-f lavfi -i testsrc2=size=320x240:rate=25 -f lavfi -i sine=sample_rate=44100 -t 4 -c:v flv1 "
           "-c:a libmp3lame",
           dir_->Path("clean.flv"));
  const std::string clean = dir_->Read("clean.flv");
  struct Case {
    const char* name;
    int type;
    uint32_t stamp;
  };
  for (const Case& c : {Case{"picture far ahead", 9, 0x7fffffff}, Case{"picture far behind", 9, 0},
                        Case{"sound far ahead", 8, 3'600'000}}) {
    SCOPED_TRACE(c.name);
    const std::string damaged = dir_->Write(std::string(c.name) + ".flv", WithFlvStamp(clean, c.type, 50, c.stamp));
    const auto [exitCode, seconds] = Convert(damaged, std::string(c.name) + ".amv");
    EXPECT_EQ(exitCode, 0);
    EXPECT_NEAR(seconds, 4, 0.5);
  }
}

}  // namespace

TEST_F(EncoderMessyInput, AnOutputRunningFarPastItsContentStopsAndIsRemoved) {
  // 25 pictures, each stamped 30 s after the one before: too little to be
  // taken as jumps in a lone stream, far too much for 1 s of content.
  const std::string input = dir_->Path("runaway.mkv");
  MakeClip("-f lavfi -i testsrc2=size=160x120:rate=25 -t 1 -c:v ffv1 -bsf:v " + ShellQuote("setts=ts=PTS+N*1200/TB"),
           input);
  EncoderCall call;
  call.input = input;
  call.output = dir_->Path("runaway.amv");
  // Twice the content and a minute more, 62 s, is some 2.9 MB here: the
  // encoder must stop before the step that would cross it, not after. The
  // shell counts the limit in blocks of 512 bytes: 4 MB.
  const RunResult run = RunEncoder(call.Arguments(), *dir_, "ulimit -f 8000; ");
  EXPECT_EQ(run.exitCode, 1);
  const std::vector<std::string> lines = Lines(run.err);
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines.back().find("the time stamps run far past the content"), std::string::npos) << lines.back();
  EXPECT_FALSE(FileExists(call.output));
}

TEST_F(EncoderMessyInput, MatroskaWithLongerOtherTracksConvertsAndACutOneIsTold) {
  dir_->Write("subtitles.srt", "1\n00:00:01,000 --> 00:00:02,000\nEarly\n\n2\n00:00:09,000 --> 00:00:10,000\nLate\n");
  const std::string videoAndSound =
      "-f lavfi -i testsrc2=size=320x240:rate=25:duration=4 -f lavfi -i sine=sample_rate=44100:duration=4 ";
  MakeClip(videoAndSound + "-i " + ShellQuote(dir_->Path("subtitles.srt")) +
               " -map 0 -map 1 -map 2 -c:v mpeg4 -c:a aac -c:s srt",
           dir_->Path("subtitled.mkv"));
  MakeClip(videoAndSound + "-f lavfi -i sine=frequency=300:sample_rate=44100:duration=10 -map 0 -map 1 -map 2 "
                             "-c:v mpeg4 -c:a aac",
           dir_->Path("second-sound.mkv"));
  for (const char* name : {"subtitled", "second-sound"}) {
    SCOPED_TRACE(name);
    const std::string whole = dir_->Path(std::string(name) + ".mkv");
    const auto [exitCode, seconds] = Convert(whole, std::string(name) + ".amv");
    EXPECT_EQ(exitCode, 0);
    EXPECT_NEAR(seconds, 4, 0.2);
    const std::string bytes = dir_->Read(std::string(name) + ".mkv");
    const std::string cut = dir_->Write(std::string(name) + "-cut.mkv", bytes.substr(0, bytes.size() / 2));
    const RunResult run = RunEncoder(CallFor(cut, std::string(name) + "-cut.amv"), *dir_);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("cut short"), std::string::npos) << run.err;
  }
}

TEST_F(EncoderMessyInput, SoundThatEndsEarlyHoldsNoPicturesBackAndIsFollowedBySilence) {
  const auto make = [](int seconds) {
    const std::string name = dir_->Path("sound-ends-early-" + std::to_string(seconds) + ".mp4");
    MakeClip("-f lavfi -i testsrc2=size=320x240:rate=25:duration=" + std::to_string(seconds) +
                 " -f lavfi -i sine=frequency=1000:sample_rate=44100:duration=5 -c:v mpeg4 -q:v 10 -c:a aac",
             name);
    return name;
  };
  long peaks[2];
  for (int i : {0, 1}) {
    EncoderCall call = CallFor(make(i == 0 ? 20 : 120), "sound-ends-early-" + std::to_string(i) + ".amv");
    call.size = "208x176";
    call.fps = 16;
    RunResult run;
    peaks[i] = PeakMemoryOfEncoder(call, *dir_, run);
    ASSERT_EQ(run.exitCode, 0);
    ASSERT_GT(peaks[i], 0);
  }
  // Six times the play time, the same memory: 100 s of held pictures would take about 7 MB more.
  // AddressSanitizer keeps freed memory in quarantine, so there the peak says nothing of what is held.
#ifndef __SANITIZE_ADDRESS__
  EXPECT_LT(peaks[1] - peaks[0], 3000) << peaks[0] << " KiB for 20 s, " << peaks[1] << " KiB for 120 s";
#endif

  const std::string output = dir_->Path("sound-ends-early-1.amv");
  const Probe probe = ProbeFile(output);
  ASSERT_EQ(probe.streams.size(), 2u);
  EXPECT_EQ(probe.streams[0].at("nb_read_packets"), "1920");
  EXPECT_EQ(probe.streams[1].at("nb_read_packets"), "1920");
  const std::vector<int16_t> sound = DecodeSound(output);
  ASSERT_EQ(sound.size(), 120u * 22050);
  EXPECT_GT(Rms({sound.begin() + 22050, sound.begin() + 4 * 22050}), 1000);
  EXPECT_EQ(Rms({sound.begin() + 6 * 22050, sound.end()}), 0);
}

TEST_F(EncoderMessyInput, ProgressGoesOnWhileTheSoundIsMissing) {
  // Enough work that half-second progress lines show how the output grows.
  const std::string input = dir_->Path("long-silent-end.mkv");
  MakeClip("-f lavfi -i testsrc2=size=640x360:rate=30:duration=90 -f lavfi -i sine=sample_rate=44100:duration=1 "
           "-c:v mpeg4 -q:v 5 -c:a pcm_s16le",
           input);
  const RunResult run = RunEncoder(CallFor(input, "long-silent-end.amv"), *dir_);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  std::vector<double> times;
  for (const std::string& line : Lines(run.err))
    if (const size_t at = line.find(" time="); at != std::string::npos) times.push_back(std::stod(line.substr(at + 6)));
  ASSERT_GE(times.size(), 2u) << run.err;
  EXPECT_EQ(times.back(), 90);
  // Frames past the sound's end reach the file while the rest is still being
  // read, not all at once when the file ends.
  EXPECT_TRUE(std::any_of(times.begin(), times.end() - 1, [](double t) { return t > 3 && t < 90; })) << run.err;
}

// `count` bytes of noise written over `bytes` from `start`, the same on every run.
std::string WithNoise(std::string bytes, size_t start, size_t count) {
  uint32_t state = 12345;
  for (size_t i = start; i < start + count && i < bytes.size(); ++i) {
    state = state * 1103515245u + 12345u;
    bytes[i] = static_cast<char>(state >> 16);
  }
  return bytes;
}

TEST_F(EncoderMessyInput, ADamagedStretchIsSkippedAndTold) {
  MakeClip("-f lavfi -i testsrc2=size=320x240:rate=25 -f lavfi -i sine=sample_rate=44100 -t 10 -c:v libx264 "
           "-preset ultrafast -b:v 300k -c:a aac",
           dir_->Path("whole.mp4"));
  const std::string whole = dir_->Read("whole.mp4");
  const std::string damaged = dir_->Write("damaged.mp4", WithNoise(whole, whole.size() / 3, 30000));
  const RunResult run = RunEncoder(CallFor(damaged, "damaged.amv"), *dir_);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.err);
  const auto note = std::find_if(lines.begin(), lines.end(), [&](const std::string& line) {
    return line.rfind(damaged + ": damaged in places: about ", 0) == 0;
  });
  ASSERT_NE(note, lines.end()) << run.err;
  const double seconds = std::stod(note->substr(note->find("about ") + 6));
  EXPECT_GT(seconds, 0);
  EXPECT_LT(seconds, 3);
  const Probe probe = ProbeFile(dir_->Path("damaged.amv"));
  ASSERT_EQ(probe.streams.size(), 2u);
  EXPECT_EQ(probe.streams[0].at("nb_read_packets"), "120");
  EXPECT_EQ(probe.streams[1].at("nb_read_packets"), "120");

  // Mostly noise is no film, even with its index (at the end) whole.
  const std::string garbage = dir_->Write("garbage.mp4", WithNoise(whole, whole.size() / 10, whole.size() * 8 / 10));
  const RunResult refused = RunEncoder(CallFor(garbage, "garbage.amv"), *dir_);
  EXPECT_EQ(refused.exitCode, 1);
  const std::vector<std::string> refusedLines = Lines(refused.err);
  ASSERT_FALSE(refusedLines.empty());
  EXPECT_EQ(refusedLines.back().rfind(garbage + ": the file is too damaged to convert: ", 0), 0u) << refused.err;
  EXPECT_FALSE(FileExists(dir_->Path("garbage.amv")));
}

// A damaged stretch the reader passes over (lost before it is read) or that
// decodes to nothing: the note tells the play time of the pictures lost, as
// FFmpeg's own decoding counts them, not how many read pictures failed.
TEST_F(EncoderMessyInput, TheDamageNoteTellsThePlayTimeOfThePicturesLost) {
  struct Case {
    const char* name;
    const char* codecs;
    size_t fromEighth, toEighth;  // the damaged part of the file
  };
  const Case cases[] = {
      {"mp4", "-c:v libx264 -preset ultrafast -c:a aac", 2, 6},
      {"ts", "-c:v libx264 -preset ultrafast -c:a aac", 1, 7},
      {"mpg", "-c:v mpeg2video -q:v 4 -an -f vob", 1, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string name = std::string("striped.") + c.name;
    MakeClip(std::string("-f lavfi -i testsrc2=size=320x240:rate=30 -f lavfi -i sine=sample_rate=44100 -t 10 ") +
                 c.codecs,
             dir_->Path(name));
    // Three quarters of every 4 KiB over the damaged part.
    std::string bytes = dir_->Read(name);
    for (size_t at = bytes.size() * c.fromEighth / 8; at < bytes.size() * c.toEighth / 8; at += 4096)
      bytes = WithNoise(bytes, at, 3072);
    const std::string damaged = dir_->Write("damaged-" + name, bytes);
    const int decoded = std::stoi(Capture("ffprobe -v quiet -select_streams v:0 -count_frames -show_entries "
                                          "stream=nb_read_frames -of csv=p=0 " +
                                          ShellQuote(damaged)));
    const double lost = (300 - decoded) / 30.0;
    ASSERT_GT(lost, 3) << "the damage must take a good part of the film";
    const RunResult run = RunEncoder(CallFor(damaged, name + ".amv"), *dir_);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.err);
    const auto note = std::find_if(lines.begin(), lines.end(), [&](const std::string& line) {
      return line.rfind(damaged + ": damaged in places: about ", 0) == 0;
    });
    ASSERT_NE(note, lines.end()) << run.err;
    EXPECT_NEAR(std::stod(note->substr(note->find("about ") + 6)), lost, 0.15 * lost) << *note;
  }

  // A whole file whose pictures pause for 2 s skips ahead as well, and lost nothing.
  MakeClip("-f lavfi -i testsrc2=size=320x240:rate=30 -f lavfi -i sine=sample_rate=44100 -t 10 "
           "-vf select='not(between(n\\,90\\,150))' -fps_mode passthrough -c:v libx264 -preset ultrafast -c:a aac",
           dir_->Path("pausing.mkv"));
  const RunResult whole = RunEncoder(CallFor(dir_->Path("pausing.mkv"), "pausing.amv"), *dir_);
  ASSERT_EQ(whole.exitCode, 0) << whole.err;
  EXPECT_EQ(whole.err.find("damaged in places"), std::string::npos) << whole.err;
}

// Sets the time base (scale / rate) in the video stream header of an AVI file.
std::string WithAviTimeBase(std::string avi, uint32_t scale, uint32_t rate) {
  size_t header = avi.find("strh");
  while (header != std::string::npos && avi.compare(header + 8, 4, "vids") != 0) header = avi.find("strh", header + 4);
  if (header == std::string::npos) {
    ADD_FAILURE() << "no video stream header";
    return avi;
  }
  for (int i = 0; i < 4; ++i) {
    avi[header + 28 + i] = static_cast<char>(scale >> (8 * i));
    avi[header + 32 + i] = static_cast<char>(rate >> (8 * i));
  }
  return avi;
}

TEST_F(EncoderMessyInput, ADamagedFrameRateInTheHeaderGivesTheFilmInBoundedMemory) {
  const std::string picture = "-f lavfi -i testsrc2=size=320x240:rate=25 ";
  MakeClip(picture + "-f lavfi -i sine=sample_rate=44100 -t 3 -c:v mpeg4 -c:a libmp3lame", dir_->Path("rate.avi"));
  MakeClip(picture + "-t 3 -c:v mpeg4", dir_->Path("rate-silent.avi"));
  struct Case {
    uint32_t scale;
    uint32_t rate;
  };
  for (const char* source : {"rate", "rate-silent"}) {
    const RunResult clean = RunEncoder(CallFor(dir_->Path(std::string(source) + ".avi"), std::string(source) + ".amv"), *dir_);
    ASSERT_EQ(clean.exitCode, 0) << clean.err;
    EXPECT_EQ(clean.err.find("frame rate is damaged"), std::string::npos) << clean.err;
  }
  // One picture per 46 days, per 11 hours, per 68 years; two billion a second.
  for (const Case& c : {Case{100663297, 25}, Case{40000, 1}, Case{0x7fffffff, 1}, Case{1, 0x7fffffff}}) {
    for (const char* source : {"rate", "rate-silent"}) {
      const std::string name = std::string(source) + "-" + std::to_string(c.scale) + "-" + std::to_string(c.rate);
      SCOPED_TRACE(name);
      const std::string damaged = dir_->Write(name + ".avi", WithAviTimeBase(dir_->Read(std::string(source) + ".avi"),
                                                                           c.scale, c.rate));
      RunResult run;
      [[maybe_unused]] const long peak = PeakMemoryOfEncoder(CallFor(damaged, name + ".amv"), *dir_, run, kSizeLimit);
      ASSERT_EQ(run.exitCode, 0) << run.err;
      EXPECT_NE(run.err.find(damaged + ": the header's frame rate is damaged"), std::string::npos) << run.err;
#ifndef __SANITIZE_ADDRESS__
      EXPECT_LT(peak, 100'000) << "KiB";
#endif
      EXPECT_LT(std::filesystem::file_size(dir_->Path(name + ".amv")), 500'000u);
      const Probe probe = ProbeFile(dir_->Path(name + ".amv"));
      ASSERT_EQ(probe.streams.size(), 2u);
      EXPECT_NEAR(std::stod(probe.streams[0].at("nb_read_packets")) / kFps, 3, 0.2);
    }
  }
}

TEST_F(EncoderMessyInput, MatroskaStartingLateConvertsWholeWhicheverWayItsDurationCounts) {
  const std::string sources =
      "-f lavfi -i testsrc2=size=320x240:rate=25 -f lavfi -i sine=sample_rate=44100 -t 3 ";
  MakeClip(sources + "-c:v mpeg4 -c:a aac", dir_->Path("late-source.mkv"));
  MakeClip(sources + "-c:v mpeg2video -c:a mp2 -output_ts_offset 1.4", dir_->Path("late-source.ts"));
  struct Case {
    const char* name;
    std::string arguments;
    double seconds;
  };
  const Case cases[] = {
      {"late.mkv", sources + "-c:v mpeg4 -c:a aac -output_ts_offset 10", 3},
      {"late.webm", sources + "-c:v libvpx -c:a libvorbis -output_ts_offset 10", 3},
      {"ten-hours.mkv", sources + "-c:v mpeg4 -c:a aac -output_ts_offset 36000", 3},
      {"cut-copyts.mkv", "-ss 1 -i " + ShellQuote(dir_->Path("late-source.mkv")) + " -c copy -copyts", 2},
      {"remuxed-ts.mkv", "-i " + ShellQuote(dir_->Path("late-source.ts")) + " -c copy -copyts", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MakeClip(c.arguments, dir_->Path(c.name));
    const auto [exitCode, seconds] = Convert(dir_->Path(c.name), std::string(c.name) + ".amv");
    EXPECT_EQ(exitCode, 0);
    EXPECT_NEAR(seconds, c.seconds, 0.3);
  }
}

TEST_F(EncoderMessyInput, APartlyDownloadedFileGivesWhatCanBeReadAndSaysHowMuch) {
  const std::string sources =
      "-f lavfi -i testsrc2=size=320x240:rate=25 -f lavfi -i sine=sample_rate=44100 -t 12 -c:v libx264 -preset "
      "ultrafast -c:a aac ";
  MakeClip(sources + "-movflags +faststart", dir_->Path("download.mp4"));
  MakeClip(sources + "-movflags frag_keyframe+empty_moov", dir_->Path("fragmented.mp4"));
  struct Case {
    const char* name;
    double kept;  // the share of the bytes left
  };
  for (const Case& c : {Case{"download.mp4", 0.7}, Case{"fragmented.mp4", 0.95}}) {
    SCOPED_TRACE(c.name);
    const std::string bytes = dir_->Read(c.name);
    const std::string cut = dir_->Write(std::string("cut-") + c.name,
                                        bytes.substr(0, static_cast<size_t>(static_cast<double>(bytes.size()) * c.kept)));
    const EncoderCall call = CallFor(cut, std::string(c.name) + ".amv");
    const RunResult run = RunEncoder(call.Arguments(), *dir_, kSizeLimit);
    EXPECT_EQ(run.exitCode, 2);
    const std::vector<std::string> lines = Lines(run.err);
    ASSERT_FALSE(lines.empty());
    const std::string told = cut + ": the file is cut short: converted the first ";
    ASSERT_EQ(lines.back().rfind(told, 0), 0u) << lines.back();
    const double converted = std::stod(lines.back().substr(told.size()));
    EXPECT_NE(lines.back().find(" s of 12.0"), std::string::npos) << lines.back();
    const Probe probe = ProbeFile(call.output);
    ASSERT_EQ(probe.streams.size(), 2u);
    EXPECT_NEAR(std::stod(probe.streams[0].at("nb_read_packets")) / kFps, converted, 0.2);
    EXPECT_LT(converted, 12 * c.kept + 0.5);
    EXPECT_GT(converted, 12 * c.kept - 3);
  }
}

TEST_F(EncoderMessyInput, SoundPacketsAllStampedZeroArePlacedByTheirSampleCounts) {
  MakeClip(
      "-f lavfi -i testsrc2=size=320x240:rate=25 -f lavfi -i sine=sample_rate=44100 -t 4 -c:v flv1 "
      "-c:a libmp3lame",
      dir_->Path("stamps.flv"));
  const std::string zeroed = dir_->Write("zeroed.flv", WithFlvStamp(dir_->Read("stamps.flv"), 8, 0, 0));
  const auto [exitCode, seconds] = Convert(zeroed, "zeroed.amv");
  EXPECT_EQ(exitCode, 0);
  EXPECT_NEAR(seconds, 4, 0.3);
  const std::vector<int16_t> sound = DecodeSound(dir_->Path("zeroed.amv"));
  ASSERT_GT(sound.size(), 4u * 22050 - 2000);
  for (int second = 0; second < 3; ++second)
    EXPECT_GT(Rms({sound.begin() + second * 22050 + 11025, sound.begin() + (second + 1) * 22050 + 11025}), 1000)
        << "second " << second;
}
