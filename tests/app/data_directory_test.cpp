#include "app/data_directory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "Inc/AppState.h"
#include "scratch_dir.h"
#include "settings/unprivileged.h"

namespace {

namespace fs = std::filesystem;

// "@" stands for the scratch root; a null variable is unset.
struct Case {
  const char* name;
  const char* configHome;
  const char* home;
  const char* expected;
};

std::string Expand(const char* text, const std::string& root) {
  std::string value = text;
  if (const std::size_t at = value.find('@'); at != std::string::npos) value.replace(at, 1, root);
  return value;
}

void SetOrUnset(const char* name, const char* value, const std::string& root) {
  if (value)
    setenv(name, Expand(value, root).c_str(), 1);
  else
    unsetenv(name);
}

bool IsPrivateFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && (info.st_mode & 0777) == 0700;
}

// A program directory that its user cannot write, beside room for settings
// folders that the user (nobody, when the tests run as root) may create.
class DataDirectoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = scratch_.Dir();
    root_.pop_back();
    scratch_.Write("prog/mflpx", "");
    program_ = scratch_.Dir() + "prog/";
    scratch_.Write("file", "");
    fs::permissions(root_, fs::perms::all);
    fs::permissions(program_, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                  fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
  }

  ScratchDir scratch_;
  std::string root_;
  std::string program_;
};

TEST(ProgramDirectory, EndsWithASlashAndHoldsTheEncoderAndTheFiles) {
  AppState app;
  for (const std::string given : {"/opt/mflpx", "/opt/mflpx/"}) {
    SetProgramDirectory(app, given);
    EXPECT_EQ(app.programDirectory, "/opt/mflpx/") << given;
    EXPECT_EQ(app.encoderPath, "/opt/mflpx/Core/ffmpeg");
    EXPECT_EQ(app.dataDirectory, "/opt/mflpx/");
  }
}

TEST_F(DataDirectoryTest, AnUnwritableProgramDirectorySendsTheFilesToTheUsersConfigFolder) {
  const std::vector<Case> cases = {
      {"ConfigHomeSet", "@/xdg", "@/home", "@/xdg/mflpx/"},
      {"ConfigHomeWithSlash", "@/xdg2/", "@/home", "@/xdg2/mflpx/"},
      {"ConfigHomeUnset", nullptr, "@/home", "@/home/.config/mflpx/"},
      {"ConfigHomeEmpty", "", "@/home2", "@/home2/.config/mflpx/"},
      {"ConfigHomeRelativeIsIgnored", "relative/xdg", "@/home3", "@/home3/.config/mflpx/"},
      {"NoHomeAtAll", nullptr, nullptr, "@/prog/"},
      {"RelativeHome", nullptr, "home", "@/prog/"},
      {"ConfigHomeBelowAFile", "@/file/xdg", "@/home", "@/prog/"},
  };
  for (const Case& c : cases) {
    const std::string expected = Expand(c.expected, root_);
    const bool chosen = RunInChild(
        [&] {
          SetOrUnset("XDG_CONFIG_HOME", c.configHome, root_);
          SetOrUnset("HOME", c.home, root_);
          return ChooseDataDirectory(program_) == expected;
        },
        true);
    EXPECT_TRUE(chosen) << c.name << " should give " << expected;
    if (expected != program_) {
      EXPECT_TRUE(IsPrivateFolder(expected)) << c.name;
    }
  }
  EXPECT_TRUE(IsPrivateFolder(root_ + "/home/.config")) << "a missing base folder is made private too";
  EXPECT_FALSE(fs::exists(root_ + "/relative")) << "nothing is made relative to the working directory";
}

TEST_F(DataDirectoryTest, AWritableProgramDirectoryKeepsTheFilesAndMakesNoFolder) {
  fs::permissions(program_, fs::perms::all);
  const bool chosen = RunInChild(
      [&] {
        setenv("XDG_CONFIG_HOME", (root_ + "/xdg").c_str(), 1);
        return ChooseDataDirectory(root_ + "/prog") == program_;
      },
      true);
  EXPECT_TRUE(chosen);
  EXPECT_FALSE(fs::exists(root_ + "/xdg"));
}

TEST_F(DataDirectoryTest, AnExistingSettingsFolderIsUsedAsItIs) {
  fs::create_directories(root_ + "/xdg/mflpx");
  fs::permissions(root_ + "/xdg/mflpx", fs::perms::all);
  fs::permissions(root_ + "/xdg", fs::perms::all);
  scratch_.Write("xdg/mflpx/Config.ini", "[SET]\n");
  const bool chosen = RunInChild(
      [&] {
        setenv("XDG_CONFIG_HOME", (root_ + "/xdg").c_str(), 1);
        return ChooseDataDirectory(program_) == root_ + "/xdg/mflpx/";
      },
      true);
  EXPECT_TRUE(chosen);
  EXPECT_EQ(scratch_.Read("xdg/mflpx/Config.ini"), "[SET]\n");
}

}  // namespace
