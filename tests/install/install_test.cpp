#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <utility>

#include "Inc/Version.h"
#include "command.h"
#include "scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using std::chrono::seconds;

const std::string kNewConfig =
    "[MFLPX]\r\nRes = 0\r\nQual = 0\r\nFrame = 0\r\nVolume = 8\r\nCropU = 0\r\nCropD = 0\r\nCropL = 0\r\n"
    "CropR = 0\r\nPadU = 0\r\nPadD = 0\r\nPadL = 0\r\nPadR = 0\r\n[SET]\r\nLanguage = \r\nLogActions = 1\r\n";

bool WaitFor(const std::function<bool()>& condition, seconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

// Width and height from a PNG's header; zeros when the file is no PNG.
std::pair<uint32_t, uint32_t> PngSize(const std::string& path) {
  const std::string bytes = ReadWholeFile(path);
  if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {0, 0};
  auto word = [&bytes](std::size_t at) {
    uint32_t value = 0;
    for (std::size_t i = at; i < at + 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[i]);
    return value;
  };
  return {word(16), word(20)};
}

std::set<std::string> Tree(const std::string& directory) {
  std::set<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(directory))
    names.insert(fs::relative(entry.path(), directory).string());
  return names;
}

// Starts the installed launcher in `home` as a user who cannot write the
// prefix: nobody when the tests run as root, else the prefix is read-only.
pid_t StartAsUser(const std::string& launcher, const std::string& home) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(126);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "xdg").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Qt would otherwise make one under /tmp that outlives the test.
    const std::string runtime = home + "run";
    if (mkdir(runtime.c_str(), 0700) != 0 && errno != EEXIST) _exit(126);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    if (chdir(home.c_str()) != 0) _exit(126);
    execl(launcher.c_str(), launcher.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

// The pids of the processes that `pid` has started and that still run.
std::set<pid_t> ChildrenOf(pid_t pid) {
  std::set<pid_t> children;
  std::error_code error;
  for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
    std::istringstream list(ReadWholeFile(task.path().string() + "/children"));
    for (pid_t child; list >> child;) children.insert(child);
  }
  return children;
}

// Waits for `pid` to end; the crash notice it waits on cannot be clicked
// here, so every process it started is ended, by its pid.
int WaitForExitEndingItsChildren(pid_t pid) {
  int status = -1;
  WaitFor(
      [&] {
        if (waitpid(pid, &status, WNOHANG) == pid) return true;
        for (pid_t child : ChildrenOf(pid)) kill(child, SIGKILL);
        return false;
      },
      seconds(30));
  return status;
}

// One installation into a scratch prefix, shared by the tests below.
class InstalledProgram : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = new ScratchDir;
    // Another user (nobody) must reach the prefix and its home below it.
    fs::permissions(root_->Path(""), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                         fs::perms::others_read | fs::perms::others_exec);
    prefix_ = root_->Dir() + "usr/";
    installed_ = RunCommand(std::string(MFLPX_CMAKE) + " --install " MFLPX_BINARY_DIR " --prefix " + prefix_);
  }
  static void TearDownTestSuite() {
    std::error_code ignored;
    fs::permissions(prefix_ + "lib/mflpx", fs::perms::owner_all, fs::perm_options::add, ignored);
    delete root_;
  }
  void SetUp() override { ASSERT_EQ(installed_.exitCode, 0) << installed_.output; }

  static std::string Program() { return prefix_ + "lib/mflpx/"; }

  // A home folder of the user StartAsUser runs as.
  static std::string MakeHome(const std::string& name) {
    const std::string home = root_->Dir() + name + "/";
    fs::create_directories(home);
    if (geteuid() == 0 && chown(home.c_str(), 65534, 65534) != 0) return {};
    return home;
  }

  static ScratchDir* root_;
  static std::string prefix_;
  static CommandResult installed_;
};

ScratchDir* InstalledProgram::root_ = nullptr;
std::string InstalledProgram::prefix_;
CommandResult InstalledProgram::installed_;

TEST_F(InstalledProgram, LaysOutTheProgramDirectoryLauncherMenuEntryAndIcons) {
  std::set<std::string> top;
  for (const auto& entry : fs::directory_iterator(Program())) top.insert(entry.path().filename().string());
  EXPECT_EQ(top, (std::set<std::string>{"Core", "Lang", "MFLPX.html", "mflpx", "mflpx-crash-notice"}));
  for (const char* executable : {"mflpx", "mflpx-crash-notice", "Core/ffmpeg"})
    EXPECT_EQ(access((Program() + executable).c_str(), X_OK), 0) << executable;
  EXPECT_EQ(ReadWholeFile(Program() + "Lang/de.ini"), ReadWholeFile(MFLPX_BINARY_DIR "/Lang/de.ini"));
  EXPECT_NE(ReadWholeFile(Program() + "MFLPX.html").find(std::string("<title>") + kProductTitle + " - Help</title>"),
            std::string::npos);

  // A relative link, so that the program still finds its folder through its
  // real path wherever the prefix is.
  EXPECT_TRUE(fs::is_symlink(prefix_ + "bin/mflpx"));
  EXPECT_EQ(fs::read_symlink(prefix_ + "bin/mflpx"), "../lib/mflpx/mflpx");

  const std::string entry = ReadWholeFile(prefix_ + "share/applications/mflpx.desktop");
  EXPECT_NE(entry.find("\nExec=mflpx %F\n"), std::string::npos);
  EXPECT_NE(entry.find("\nIcon=mflpx\n"), std::string::npos);
  for (const char* type : {"video/mp4;", "video/x-msvideo;", "video/x-matroska;", "video/quicktime;"})
    EXPECT_NE(entry.find(type), std::string::npos) << type;

  EXPECT_NE(ReadWholeFile(prefix_ + "share/icons/hicolor/scalable/apps/mflpx.svg").find("<svg"), std::string::npos);
  for (uint32_t size : {16u, 22u, 24u, 32u, 48u, 64u, 128u, 256u}) {
    const std::string folder = std::to_string(size) + "x" + std::to_string(size);
    EXPECT_EQ(PngSize(prefix_ + "share/icons/hicolor/" + folder + "/apps/mflpx.png"), std::make_pair(size, size))
        << folder;
  }
}

TEST_F(InstalledProgram, WithoutWritingItsFolderKeepsSettingsAndCrashReportsInTheUsersConfigFolder) {
  fs::permissions(Program(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  const std::set<std::string> shipped = Tree(Program());
  const std::string home = MakeHome("home");
  ASSERT_FALSE(home.empty());
  const std::string settings = home + "xdg/mflpx/";

  pid_t pid = StartAsUser(prefix_ + "bin/mflpx", home);
  ASSERT_GT(pid, 0);
  EXPECT_TRUE(WaitFor([&] { return ReadWholeFile(settings + "Config.ini") == kNewConfig; }, seconds(30)))
      << "the first start makes the settings folder and its Config.ini";
  EXPECT_EQ(kill(pid, SIGSEGV), 0);
  EXPECT_TRUE(WaitFor([&] { return ReadWholeFile(settings + "ErrorReport.log").find("EOF()") != std::string::npos; },
                      seconds(30)));
  int status = WaitForExitEndingItsChildren(pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

  // The next start reads the changed setting instead of making the file anew.
  const std::string changed = "[SET]\r\nLanguage = \r\nLogActions = 0\r\n";
  std::ofstream(settings + "Config.ini", std::ios::binary | std::ios::trunc) << changed;
  pid = StartAsUser(prefix_ + "bin/mflpx", home);
  ASSERT_GT(pid, 0);
  std::this_thread::sleep_for(seconds(5));
  EXPECT_NE(waitpid(pid, &status, WNOHANG), pid) << "still running past its splash";
  EXPECT_EQ(ReadWholeFile(settings + "Config.ini"), changed);
  kill(pid, SIGTERM);
  WaitForExitEndingItsChildren(pid);

  EXPECT_EQ(Tree(Program()), shipped) << "nothing is written beside the installed program";
  EXPECT_FALSE(fs::exists(home + ".config")) << "XDG_CONFIG_HOME is followed";
}

}  // namespace
