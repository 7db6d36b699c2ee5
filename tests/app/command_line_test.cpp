#include "app/command_line.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::string WorkingDirectory() {
  char buffer[PATH_MAX];
  return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

TEST(CommandLine, WordsBecomeAbsoluteFilesAndOptionsAreRefused) {
  const std::string here = WorkingDirectory();
  struct Case {
    std::vector<std::string> words;
    std::vector<std::string> files;
    std::string error;
  };
  const Case cases[] = {
      {{}, {}, ""},
      {{"/v/a.mp4", "/v/b c.mkv"}, {"/v/a.mp4", "/v/b c.mkv"}, ""},
      {{"clip.mp4", "../x/./y.avi"}, {here + "/clip.mp4", std::filesystem::path(here).parent_path().string() + "/x/y.avi"}, ""},
      {{"/v/a.mp4", "--bogus"}, {}, "unknown option '--bogus'"},
      {{"-x", "/v/a.mp4"}, {}, "unknown option '-x'"},
      {{"-"}, {}, "unknown option '-'"},
      {{"--", "-clip.mp4", "--"}, {here + "/-clip.mp4", here + "/--"}, ""},
      {{"", "/v/a.mp4"}, {"/v/a.mp4"}, ""},
      // Qt's own options are Qt's to take; a name keeps its bytes.
      {{"-platform", "offscreen", "/v/a.mp4", "--style=fusion", "-reverse"}, {"/v/a.mp4"}, ""},
      {{"--platform", "-x", "/v/\xff.mp4"}, {"/v/\xff.mp4"}, ""},
      {{"-platformx"}, {}, "unknown option '-platformx'"},
      {{"--", "-reverse"}, {here + "/-reverse"}, ""},
  };
  for (const Case& c : cases) {
    const CommandLine line = ParseCommandLine(c.words);
    EXPECT_EQ(line.files, c.files) << ::testing::PrintToString(c.words);
    EXPECT_EQ(line.error, c.error) << ::testing::PrintToString(c.words);
  }
}

}  // namespace
