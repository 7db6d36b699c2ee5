// Every way a conversion can fail ends with exit code 1 and one line saying
// why, and leaves no half-written file behind; an existing file is never touched.

#include <sys/stat.h>

#include <csignal>
#include <fstream>

#include <gtest/gtest.h>

#include "encoder_harness.h"

namespace {

class EncoderFailures : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new ScratchDir;
    MakeClip("-f lavfi -i testsrc2=size=320x240:rate=25 -f lavfi -i sine=sample_rate=44100 -t 4 -c:v libx264 "
             "-preset ultrafast -c:a aac -movflags +faststart",
             Good());
    MakeClip("-f lavfi -i sine=sample_rate=44100 -t 1", dir_->Path("sound-only.wav"));
    MakeClip("-f lavfi -i testsrc2=size=40x30:rate=10 -t 1 -c:v ffv1", dir_->Path("tiny.mkv"));
    const std::string good = dir_->Read("good.mp4");
    dir_->Write("truncated-index-first.mp4", good.substr(0, good.size() / 2));
    MakeClip("-i " + ShellQuote(Good()) + " -c copy", dir_->Path("index-last.mp4"));
    const std::string indexLast = dir_->Read("index-last.mp4");
    dir_->Write("truncated-index-last.mp4", indexLast.substr(0, indexLast.size() / 2));
    dir_->Write("empty.mp4", "");
    dir_->Write("notes.mp4", "These are my notes, not a film.\nSecond line.\n");
  }
  static void TearDownTestSuite() { delete dir_; }
  void SetUp() override { std::filesystem::remove(Output()); }

  static std::string Good() { return dir_->Path("good.mp4"); }
  static std::string Output() { return dir_->Path("out.amv"); }

  // Runs a conversion that must fail before writing anything: one line on
  // stderr, containing `expected`, exit code 1, no output file.
  static void ExpectRefused(const std::vector<std::string>& arguments, const std::string& expected) {
    SCOPED_TRACE(expected);
    const RunResult run = RunEncoder(arguments, *dir_);
    EXPECT_EQ(run.exitCode, 1);
    const std::vector<std::string> lines = Lines(run.err);
    ASSERT_EQ(lines.size(), 1u) << run.err;
    EXPECT_NE(lines[0].find(expected), std::string::npos) << lines[0];
    EXPECT_FALSE(FileExists(Output()));
  }

  static void ExpectRefused(const EncoderCall& call, const std::string& expected) {
    ExpectRefused(call.Arguments(), expected);
  }

  static EncoderCall CallFor(const std::string& input) {
    EncoderCall call;
    call.input = input;
    call.output = Output();
    return call;
  }

  // A clip that takes long enough to convert for something to happen meanwhile, made once.
  static std::string LongClip() {
    const std::string longClip = dir_->Path("long.mkv");
    if (!FileExists(longClip))
      MakeClip("-f lavfi -i testsrc2=size=640x360:rate=25 -f lavfi -i sine=sample_rate=44100 -t 40 -c:v mpeg4 "
               "-q:v 5 -c:a pcm_s16le",
               longClip);
    return longClip;
  }

  // The encoder's shell command converting the long clip to Output().
  static std::string LongConversionCommand() {
    std::string command = ShellQuote(AMV_ENCODER_PATH);
    for (const std::string& argument : CallFor(LongClip()).Arguments()) command += " " + ShellQuote(argument);
    return command;
  }

  // Runs the long conversion and `action` in the shell as soon as the first
  // frames reach the disk; the encoder's exit code, with its stderr in `err`.
  static int RunLongConversionAndMeanwhile(const std::string& action, std::string& err) {
    const std::string errFile = dir_->Path("long.err");
    const std::string script = LongConversionCommand() + " 2>" + ShellQuote(errFile) + " & pid=$!; i=0; while [ ! -s " +
                               ShellQuote(Output()) + " ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i + 1)); done; " +
                               action + "; wait $pid";
    const int status = std::system(("sh -c " + ShellQuote(script)).c_str());
    err = dir_->Read("long.err");
    return WEXITSTATUS(status);
  }

  static ScratchDir* dir_;
};

ScratchDir* EncoderFailures::dir_ = nullptr;

// The standard line with one argument's value replaced.
std::vector<std::string> WithValue(const std::string& option, const std::string& value,
                                   const std::string& input, const std::string& output) {
  EncoderCall call;
  call.input = input;
  call.output = output;
  std::vector<std::string> arguments = call.Arguments();
  for (size_t i = 0; i + 1 < arguments.size(); ++i)
    if (arguments[i] == option) arguments[i + 1] = value;
  return arguments;
}

TEST_F(EncoderFailures, ArgumentLinesOutsideTheGrammarAreRefused) {
  const std::string in = Good();
  const std::string out = Output();
  ExpectRefused(WithValue("-vol", "12x", in, out), "Invalid value '12x' for option '-vol'");
  ExpectRefused(WithValue("-vol", "0", in, out), "'-vol' takes 1 to 2048");
  ExpectRefused(WithValue("-croptop", "26", in, out), "'-croptop' takes 0 to 25");
  ExpectRefused(WithValue("-padright", "-1", in, out), "'-padright' takes 0 to 25");
  ExpectRefused(WithValue("-f", "avi", in, out), "only amv");
  ExpectRefused(WithValue("-s", "320x240", in, out), "not an AMV player size");
  ExpectRefused(WithValue("-s", "160by120", in, out), "Invalid frame size");
  ExpectRefused(WithValue("-r", "25", in, out), "use 10, 12 or 16");
  ExpectRefused(WithValue("-ac", "2", in, out), "one channel");
  ExpectRefused(WithValue("-ar", "44100", in, out), "22050 Hz");
  ExpectRefused(WithValue("-qmin", "6", in, out), "quantiser range");
  ExpectRefused({"-i", in, "-decode", "fastest", "-s", "160x120", "-r", "12", out}, "'-decode' takes full or auto");
  ExpectRefused({"-i", in, "-sound", "0", "-s", "160x120", "-r", "12", out}, "'-sound' takes a track number");
  ExpectRefused({"-i", in, "-sound", "english", "-s", "160x120", "-r", "12", out}, "or a language such as eng");
  ExpectRefused({"-i", in, "-ss", "1:75", "-s", "160x120", "-r", "12", out}, "Invalid moment '1:75' for option '-ss'");
  ExpectRefused({"-i", in, "-frobnicate", "1", "-s", "160x120", "-r", "12", out}, "Unrecognized option '-frobnicate'");
  ExpectRefused({"-s", "160x120", "-r", "12", "-i", in, "-qmax"}, "Missing value for option '-qmax'");
  ExpectRefused({"-s", "160x120", "-r", "12", out}, "No input file");
  ExpectRefused({"-i", in, "-s", "160x120", "-r", "12"}, "No output file");
  ExpectRefused({"-i", in, "stray", "-s", "160x120", "-r", "12", out}, "Unexpected argument 'stray'");
}

TEST_F(EncoderFailures, InputsThatHoldNoPlayableVideoAreRefused) {
  ExpectRefused(CallFor(dir_->Path("missing.mp4")),
                dir_->Path("missing.mp4") + ": the file does not exist (No such file or directory).");
  ExpectRefused(CallFor(dir_->Path("empty.mp4")), dir_->Path("empty.mp4") + ": not a video file");
  ExpectRefused(CallFor(dir_->Path("notes.mp4")), dir_->Path("notes.mp4") + ": not a video file");
  ExpectRefused(CallFor(dir_->Path("")), dir_->Path("") + ": this is a folder, not a video file");
  ExpectRefused(CallFor(dir_->Path("sound-only.wav")), "holds no video stream");
  ExpectRefused(CallFor(dir_->Path("truncated-index-last.mp4")), dir_->Path("truncated-index-last.mp4") + ": ");
  EncoderCall tiny = CallFor(dir_->Path("tiny.mkv"));
  tiny.cropLeft = tiny.cropRight = 20;
  ExpectRefused(tiny, "leaves nothing of a 40x30 picture");
}

// Small faults that each told the user something false or hung the batch.
TEST_F(EncoderFailures, PipesAreRefusedAndNamesAreNeverPrintedAcrossLines) {
  const std::string fifo = dir_->Path("swapped.mp4");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string carriageReturn = dir_->Path("x\rDuration: 00:00:01.00, start: 0.0, bitrate: 1 kb/s.mp4");
  const struct {
    std::string input;
    std::string line;
  } cases[] = {
      // Opening a pipe nobody writes to would wait for ever.
      {fifo, fifo + ": not a file but a pipe, device or socket, which cannot be converted."},
      {carriageReturn, dir_->Path("x\\rDuration: 00:00:01.00, start: 0.0, bitrate: 1 kb/s.mp4") +
                           ": the file does not exist (No such file or directory)."},
      {dir_->Path("tab\there\x01.mp4"),
       dir_->Path("tab\\there\\x01.mp4") + ": the file does not exist (No such file or directory)."},
  };
  for (const auto& c : cases) {
    const RunResult run = RunEncoder(CallFor(c.input).Arguments(), *dir_, "timeout 60 ");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(Lines(run.err), std::vector<std::string>{c.line});
    EXPECT_FALSE(FileExists(Output()));
  }
}

TEST_F(EncoderFailures, AFileThatEndsInsideItsDataGivesWhatCanBeReadWithItsOwnExitCode) {
  const RunResult run = RunEncoder(CallFor(dir_->Path("truncated-index-first.mp4")), *dir_);
  EXPECT_EQ(run.exitCode, 2);
  const std::vector<std::string> lines = Lines(run.err);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().rfind(dir_->Path("truncated-index-first.mp4") + ": the file is cut short: converted the first ",
                               0),
            0u)
      << lines.back();
  EXPECT_EQ(Capture("ffmpeg -nostdin -v error -i " + ShellQuote(Output()) + " -f null - 2>&1"), "");
}

TEST_F(EncoderFailures, AnOutputFolderThatCannotBeWrittenIsReported) {
  EncoderCall call = CallFor(Good());
  call.output = dir_->Path("no-such-folder/out.amv");
  ExpectRefused(call, call.output + ": the folder does not exist (No such file or directory).");
  dir_->Write("plain-file", "x");
  call.output = dir_->Path("plain-file/out.amv");
  ExpectRefused(call, call.output + ": part of the path is a file, not a folder (Not a directory).");
}

TEST_F(EncoderFailures, AnExistingOutputIsLeftUntouched) {
  EncoderCall call = CallFor(Good());
  call.output = dir_->Write("precious.amv", "keep me");
  const RunResult run = RunEncoder(call, *dir_);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "File '" + call.output + "' already exists. Exiting.\n");
  EXPECT_EQ(dir_->Read("precious.amv"), "keep me");
}

TEST_F(EncoderFailures, AWriteErrorFailsAndRemovesTheHalfWrittenFile) {
  // A file size limit of a few kilobytes makes the disk refuse the writes part way through.
  const RunResult run = RunEncoder(CallFor(Good()).Arguments(), *dir_, "ulimit -f 8; ");
  EXPECT_EQ(run.exitCode, 1);
  const std::vector<std::string> lines = Lines(run.err);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), Output() + ": cannot write: the file grew larger than this system allows (File too large).");
  EXPECT_FALSE(FileExists(Output()));
}

TEST_F(EncoderFailures, AnInterruptedConversionKeepsAPlayableBeginning) {
  // A stop in the batch, and a terminal closed or a session ended.
  for (const char* signal : {"TERM", "HUP"}) {
    SCOPED_TRACE(signal);
    std::filesystem::remove(Output());
    std::string err;
    EXPECT_EQ(RunLongConversionAndMeanwhile(std::string("kill -") + signal + " $pid", err), 1);
    ASSERT_TRUE(FileExists(Output()));
    const Probe probe = ProbeFile(Output());
    ASSERT_EQ(probe.streams.size(), 2u);
    EXPECT_EQ(probe.streams[0].at("nb_read_packets"), probe.streams[1].at("nb_read_packets"));
    EXPECT_LT(std::stoi(probe.streams[0].at("nb_read_packets")), 40 * 12);
    const std::string bytes = dir_->Read("out.amv");
    EXPECT_EQ(bytes.substr(bytes.size() - 8), "AMV_END_");
    EXPECT_EQ(Capture("ffmpeg -nostdin -v error -i " + ShellQuote(Output()) + " -f null - 2>&1"), "");
  }
}

// A file unlinked while open takes every write and is gone at the end: that
// is a failure, never a success, and a file put in its place is not touched.
TEST_F(EncoderFailures, AnOutputRemovedOrReplacedMidwayFails) {
  const std::string lost = Output() + ": the output was removed or replaced while it was being written.";
  const std::string out = ShellQuote(Output());
  const std::string copy = ShellQuote(dir_->Path("mine.txt"));
  struct Case {
    std::string action;
    std::string leftAtTheName;  // empty: nothing
  };
  const Case cases[] = {{"rm -f " + out, ""},
                        {"rm -f " + out + " && echo mine > " + out, "mine\n"},
                        {"echo mine > " + copy + " && mv -f " + copy + " " + out, "mine\n"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.action);
    std::filesystem::remove(Output());
    std::string err;
    EXPECT_EQ(RunLongConversionAndMeanwhile(c.action, err), 1);
    const std::vector<std::string> lines = Lines(err);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), lost);
    if (c.leftAtTheName.empty())
      EXPECT_FALSE(FileExists(Output()));
    else
      EXPECT_EQ(dir_->Read("out.amv"), c.leftAtTheName);
  }
}

TEST_F(EncoderFailures, AnOutputNamedLikeAnOptionIsStillTheOutput) {
  const RunResult run = RunEncoder(CallFor(Good()).Arguments(), *dir_, "cd " + ShellQuote(dir_->Dir()) + " && ");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  std::vector<std::string> arguments = CallFor(Good()).Arguments();
  arguments.back() = "-x.amv";
  const RunResult dashed = RunEncoder(arguments, *dir_, "cd " + ShellQuote(dir_->Dir()) + " && ");
  ASSERT_EQ(dashed.exitCode, 0) << dashed.err;
  EXPECT_EQ(dir_->Read("-x.amv"), dir_->Read("out.amv"));
}

}  // namespace
