#include <gtest/gtest.h>

#include "convert/encoder_arguments.h"

namespace {

Task ExampleTask() {
  Task task;
  task.InputFile = R"(C:\Video\clip.avi)";
  task.OutputFile = R"(C:\Video\clip.amv)";
  task.Resolution = 3;
  task.Quality = 1;
  task.FrameRate = 1;
  task.Volume = 8;
  return task;
}

std::string ArgumentAfter(const std::vector<std::string>& args, const std::string& option) {
  for (std::size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == option) return args[i + 1];
  return "<missing>";
}

TEST(EncoderArguments, WorkedExampleByteForByte) {
  EXPECT_EQ(BuildEncoderArguments(ExampleTask()),
            R"(-i "C:\Video\clip.avi" -vol 256 -croptop 0 -cropbottom 0 -cropleft 0 -cropright 0  )"
            R"(-padtop 0 -padbottom 0 -padleft 0 -padright 0 -f amv -s 160x120 -r 12 -ac 1 -ar 22050 )"
            R"(-qmin 3 -qmax 5 "C:\Video\clip.amv")");
}

TEST(EncoderArguments, PathsGoInsideQuotesUnchanged) {
  Task task = ExampleTask();
  task.InputFile = "/home/me/My Videos/a  b.mp4";
  task.OutputFile = "";
  const std::string line = BuildEncoderArguments(task);
  EXPECT_EQ(line.rfind("-i \"/home/me/My Videos/a  b.mp4\" -vol", 0), 0u) << line;
  EXPECT_EQ(line.substr(line.size() - 3), " \"\"");
}

TEST(EncoderArguments, CropAndPadValuesAlwaysWrittenWithSign) {
  Task task = ExampleTask();
  task.CropTop = -3;
  task.CropRight = 25;
  task.PadBottom = 7;
  task.PadLeft = -25;
  const std::string line = BuildEncoderArguments(task);
  EXPECT_NE(line.find(" -croptop -3 -cropbottom 0 -cropleft 0 -cropright 25  -padtop 0 -padbottom 7"
                      " -padleft -25 -padright 0 -f amv "),
            std::string::npos)
      << line;
}

TEST(EncoderArguments, EveryVolumeStep) {
  Task task = ExampleTask();
  const int levels[] = {1, 2, 4, 8, 16, 32, 64, 128, 256, 384, 512, 768, 1024, 1280, 1536, 1792, 2048};
  for (int index = 0; index < 17; ++index) {
    task.Volume = index;
    EXPECT_EQ(ArgumentAfter(EncoderArgumentVector(task), "-vol"), std::to_string(levels[index])) << index;
  }
}

TEST(EncoderArguments, EveryTableEntryAndNoTrailingSpace) {
  const char* sizes[] = {"96x64", "128x96", "128x128", "160x120", "176x128",
                         "176x144", "192x160", "208x120", "208x160", "208x176"};
  Task task = ExampleTask();
  for (int8_t r = 0; r < 10; ++r) {
    task.Resolution = r;
    EXPECT_NE(BuildEncoderArguments(task).find(std::string(" -s ") + sizes[r] + " -r "), std::string::npos);
  }
  const char* quantisers[] = {"-qmin 3 -qmax 4 ", "-qmin 3 -qmax 5 ", "-qmin 5 -qmax 6 "};
  const char* rates[] = {"-r 10 ", "-r 12 ", "-r 16 "};
  for (int8_t i = 0; i < 3; ++i) {
    task.Quality = i;
    task.FrameRate = i;
    const std::string line = BuildEncoderArguments(task);
    EXPECT_NE(line.find(quantisers[i]), std::string::npos);
    EXPECT_NE(line.find(rates[i]), std::string::npos);
    EXPECT_EQ(line.back(), '"');
  }
}

TEST(EncoderArguments, IndicesOutsideTheTablesUseTheNearestEntry) {
  Task task = ExampleTask();
  task.Resolution = 10;
  task.Quality = -1;
  task.FrameRate = 127;
  task.Volume = -2147483647 - 1;
  std::string line = BuildEncoderArguments(task);
  EXPECT_NE(line.find("-vol 1 "), std::string::npos);
  EXPECT_NE(line.find("-s 208x176 -r 16 "), std::string::npos);
  EXPECT_NE(line.find("-qmin 3 -qmax 4 "), std::string::npos);
  task.Resolution = -128;
  task.Volume = 17;
  line = BuildEncoderArguments(task);
  EXPECT_NE(line.find("-vol 2048 "), std::string::npos);
  EXPECT_NE(line.find("-s 96x64 "), std::string::npos);
  const auto args = EncoderArgumentVector(task);
  EXPECT_EQ(ArgumentAfter(args, "-vol"), "2048");
  EXPECT_EQ(ArgumentAfter(args, "-s"), "96x64");
}

TEST(EncoderArgumentVector, HoldsExactlyWhatTheEncoderReceives) {
  const std::vector<std::string> expected = {
      "-i", R"(C:\Video\clip.avi)", "-vol", "256", "-croptop", "0", "-cropbottom", "0",
      "-cropleft", "0", "-cropright", "0", "-padtop", "0", "-padbottom", "0", "-padleft", "0",
      "-padright", "0", "-f", "amv", "-s", "160x120", "-r", "12", "-ac", "1", "-ar", "22050",
      "-qmin", "3", "-qmax", "5", R"(C:\Video\clip.amv)"};
  EXPECT_EQ(EncoderArgumentVector(ExampleTask()), expected);
}

// Keep proportions stands just before the output, and only when ticked: the
// classic line of a task without it is the worked example above.
TEST(EncoderArguments, KeepProportionsGoesBeforeTheOutputOnlyWhenTicked) {
  Task task = ExampleTask();
  task.KeepProportions = true;
  EXPECT_TRUE(BuildEncoderArguments(task).ends_with(R"(-qmin 3 -qmax 5 -keepaspect 1 "C:\Video\clip.amv")"));
  std::vector<std::string> expected = EncoderArgumentVector(ExampleTask());
  expected.insert(expected.end() - 1, {"-keepaspect", "1"});
  EXPECT_EQ(EncoderArgumentVector(task), expected);
}

// The choices of what of the source goes in stand before the output, each
// only once made, so a task that never makes them keeps the classic line.
TEST(EncoderArguments, SoundAndPartGoBeforeTheOutputOnlyWhenChosen) {
  const struct {
    std::string sound, subtitles, from, to, added;
  } cases[] = {
      {"2", "", "", "", "-sound 2"},
      {"jpn", "", "", "", "-sound jpn"},
      {"", "2", "", "", "-subs 2"},
      {"", "eng", "", "", "-subs eng"},
      {"", "/v/my film.en.srt", "", "", "-subfile /v/my film.en.srt"},
      {"", "", "0:10:00", "", "-ss 0:10:00"},
      {"", "", "", "15:30", "-to 15:30"},
      {"1", "fre", "75.5", "0:15:00", "-sound 1 -subs fre -ss 75.5 -to 0:15:00"},
  };
  for (const auto& c : cases) {
    Task task = ExampleTask();
    task.Sound = c.sound, task.Subtitles = c.subtitles, task.From = c.from, task.To = c.to;
    EXPECT_TRUE(BuildEncoderArguments(task).ends_with("-qmax 5 " + c.added + R"( "C:\Video\clip.amv")")) << c.added;
    const std::vector<std::string> args = EncoderArgumentVector(task);
    const std::vector<std::string> classic = EncoderArgumentVector(ExampleTask());
    std::string tail;
    for (auto arg = args.begin() + static_cast<long>(classic.size()) - 1; arg + 1 != args.end(); ++arg)
      tail += (tail.empty() ? "" : " ") + *arg;
    EXPECT_EQ(tail, c.added);
    EXPECT_EQ(args.back(), classic.back());
  }
}

TEST(EncoderArgumentVector, AnOutputBeginningWithADashCannotReadAsAnOption) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"-y.amv", "./-y.amv"}, {"--help", "./--help"}, {"/v/-y.amv", "/v/-y.amv"}, {"y-.amv", "y-.amv"}};
  for (const auto& [typed, passed] : cases) {
    Task task;
    task.OutputFile = typed;
    EXPECT_EQ(EncoderArgumentVector(task).back(), passed) << typed;
    EXPECT_EQ(EncoderOutputPath(task), passed) << typed;
    EXPECT_TRUE(BuildEncoderArguments(task).ends_with("\"" + typed + "\"")) << "the log shows what was typed";
  }
}

TEST(EncoderArgumentVector, HostilePathsStayOneArgumentEach) {
  Task task = ExampleTask();
  task.InputFile = R"(/v/a" -y -vol "9999  b.avi)";
  task.OutputFile = "/v/out  \"x\".amv";
  task.CropLeft = -4;
  const auto args = EncoderArgumentVector(task);
  ASSERT_EQ(args.size(), 35u);
  EXPECT_EQ(args[1], task.InputFile);
  EXPECT_EQ(args.back(), task.OutputFile);
  EXPECT_EQ(ArgumentAfter(args, "-vol"), "256");
  EXPECT_EQ(ArgumentAfter(args, "-cropleft"), "-4");
}

}  // namespace
