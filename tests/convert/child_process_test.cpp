#include <gtest/gtest.h>

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <thread>

#include "Inc/ErrorHandler.h"
#include "convert/child_process.h"
#include "scratch_dir.h"

namespace {

using namespace std::chrono_literals;

ChildHandle Shell(const std::string& script) { return StartChild("/bin/sh", {"-c", script}, ""); }

// Polls until the condition holds; false after five seconds.
template <typename Condition>
bool Eventually(Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(2ms);
  }
  return true;
}

// A shell line that waits (up to ten seconds) until the test creates the
// file, so a child's two writes can never merge into one read.
std::string WaitFor(const ScratchDir& dir) {
  return "i=0; while [ ! -e '" + dir.Path("go") + "' ] && [ $i -lt 1000 ]; do sleep 0.01; i=$((i+1)); done; ";
}

bool Ended(ChildHandle child) {
  return Eventually([&] { return !ChildRunning(child); });
}

// Every line the child has left, once it has ended.
std::vector<std::string> RemainingLines(ChildHandle child) {
  std::vector<std::string> lines;
  while (ChildOutputWaiting(child)) lines.push_back(ReadErrorLine(child));
  return lines;
}

int OpenDescriptors() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (readdir(dir) != nullptr) ++count;
    closedir(dir);
  }
  return count;
}

using Lines = std::vector<std::string>;

TEST(ChildProcess, CrLfLinesWaitingAtOnceComeOneByOne) {
  const ChildHandle child = Shell(R"(printf 'a\r\nb\r\n' >&2)");
  ASSERT_NE(child, 0u);
  ASSERT_TRUE(Ended(child));
  EXPECT_EQ(RemainingLines(child), (Lines{"a", "b"})) << "no blank line after the last CR LF";
  EXPECT_EQ(ReadErrorLine(child), "");
  CloseChild(child);
}

// The child writes twice, the second time only after the first line was
// taken. A CR that ended the first read ended its line, so an LF in the next
// read is a blank line; a CR still pending when the LF comes pairs with it.
TEST(ChildProcess, CrLfSplitBetweenWrites) {
  const struct {
    const char* first;
    const char* second;
    const char* firstLine;
    Lines rest;
  } cases[] = {
      {R"(a\r)", R"(\nb\n)", "a", {"", "b"}},
      {R"(one\ntwo\r)", R"(\nthree\n)", "one", {"two", "three"}},
  };
  for (const auto& c : cases) {
    ScratchDir dir;
    const ChildHandle child =
        Shell("printf '" + std::string(c.first) + "' >&2; " + WaitFor(dir) + "printf '" + c.second + "' >&2");
    ASSERT_TRUE(Eventually([&] { return ChildOutputWaiting(child); }));
    EXPECT_EQ(ReadErrorLine(child), c.firstLine);
    dir.Write("go", "");
    ASSERT_TRUE(Ended(child));
    EXPECT_EQ(RemainingLines(child), c.rest) << c.first;
    CloseChild(child);
  }
}

TEST(ChildProcess, ProgressLinesEndedByCrAloneAreSplit) {
  const ChildHandle child = Shell(R"(printf 'frame=1\rframe=2\rframe=3\n' >&2)");
  ASSERT_TRUE(Ended(child));
  EXPECT_EQ(RemainingLines(child), (Lines{"frame=1", "frame=2", "frame=3"}));
  CloseChild(child);
}

// The same for a last line of a single byte.
TEST(ChildProcess, LastLineWithoutTerminatorOnlyAfterTheEnd) {
  for (const std::string words : {"last words", "x"}) {
    ScratchDir dir;
    const ChildHandle child = Shell("printf '" + words + "' >&2; " + WaitFor(dir));
    ASSERT_TRUE(Eventually([&] { return ChildOutputWaiting(child); })) << words;
    EXPECT_EQ(ReadErrorLine(child), "");
    EXPECT_TRUE(ChildRunning(child));
    EXPECT_FALSE(ChildOutputWaiting(child)) << "an incomplete line is not ready while the child runs";
    EXPECT_EQ(ReadErrorLine(child), "");
    dir.Write("go", "");
    ASSERT_TRUE(Ended(child));
    EXPECT_EQ(RemainingLines(child), (Lines{words}));
    EXPECT_EQ(ReadErrorLine(child), "");
    CloseChild(child);
  }
}

TEST(ChildProcess, SilentChildGivesNothingAndEnds) {
  ScratchDir dir;
  const ChildHandle child = Shell(WaitFor(dir));
  EXPECT_TRUE(ChildRunning(child));
  EXPECT_EQ(ReadErrorLine(child), "");
  dir.Write("go", "");
  ASSERT_TRUE(Ended(child));
  EXPECT_EQ(ReadErrorLine(child), "");
  EXPECT_FALSE(ChildOutputWaiting(child));
  EXPECT_EQ(ChildExitCode(child), 0);
  CloseChild(child);
}

// errno left at EINTR by an earlier call must not turn a look at the child
// into a wait for its end.
TEST(ChildProcess, AStaleInterruptDoesNotWaitForTheChild) {
  const ChildHandle sleeper = StartChild("/bin/sleep", {"30"}, "");
  errno = EINTR;
  EXPECT_TRUE(ChildRunning(sleeper));
  KillChild(sleeper);
  CloseChild(sleeper);
}

TEST(ChildProcess, NotRunningAsSoonAsEndedWithLinesUnread) {
  const ChildHandle child = Shell(R"(printf 'one\ntwo\n' >&2)");
  ASSERT_TRUE(Ended(child));
  EXPECT_FALSE(ChildRunning(child));
  EXPECT_EQ(RemainingLines(child), (Lines{"one", "two"}));
  CloseChild(child);
}

TEST(ChildProcess, ExitCodesAndKill) {
  for (const int code : {0, 1, 255}) {
    const ChildHandle child = Shell("exit " + std::to_string(code));
    ASSERT_TRUE(Ended(child));
    EXPECT_EQ(ChildExitCode(child), code);
    KillChild(child);
    EXPECT_EQ(ChildExitCode(child), code) << "killing an ended child changes nothing";
    CloseChild(child);
  }
  const ChildHandle sleeper = StartChild("/bin/sleep", {"30"}, "");
  EXPECT_TRUE(ChildRunning(sleeper));
  KillChild(sleeper);
  EXPECT_FALSE(ChildRunning(sleeper)) << "reaped before KillChild returns, no zombie left";
  EXPECT_EQ(ChildExitCode(sleeper), -1);
  CloseChild(sleeper);
}

TEST(ChildProcess, ExitStatusSurvivesAnInheritedIgnoredSigchld) {
  struct sigaction ignore{}, saved{};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGCHLD, &ignore, &saved);
  const ChildHandle child = Shell("exit 3");
  ASSERT_TRUE(Ended(child));
  EXPECT_EQ(ChildExitCode(child), 3);
  CloseChild(child);
  sigaction(SIGCHLD, &saved, nullptr);
}

TEST(ChildProcess, EndDescriptorTurnsReadableWhenTheChildEnds) {
  ScratchDir dir;
  const ChildHandle child = Shell(WaitFor(dir));
  pollfd end{ChildEndDescriptor(child), POLLIN, 0};
  ASSERT_GE(end.fd, 0);
  EXPECT_EQ(poll(&end, 1, 0), 0);
  dir.Write("go", "");
  EXPECT_EQ(poll(&end, 1, 10000), 1);
  EXPECT_FALSE(ChildRunning(child));
  CloseChild(child);
  EXPECT_EQ(ChildEndDescriptor(child), -1);
}

TEST(ChildProcess, ClosedHandleIsDeadAndHarmless) {
  const ChildHandle child = Shell(R"(printf 'unread\n' >&2)");
  EXPECT_TRUE(IsChild(child));
  ASSERT_TRUE(Ended(child));
  CloseChild(child);
  EXPECT_FALSE(IsChild(child));
  EXPECT_FALSE(ChildRunning(child));
  EXPECT_EQ(ReadErrorLine(child), "");
  EXPECT_FALSE(ChildOutputWaiting(child));
  KillChild(child);
  CloseChild(child);
  EXPECT_FALSE(IsChild(0));
  const ChildHandle next = Shell("exit 0");
  EXPECT_NE(next, child) << "handles are never reused";
  ASSERT_TRUE(Ended(next));
  CloseChild(next);
}

TEST(ChildProcess, ArgumentsArriveWholeWithQuotesAndSpaces) {
  ScratchDir dir;
  const std::string program = dir.Write("my \"enc\" dir/run  me", "#!/bin/sh\nfor a; do printf '[%s]\\n' \"$a\" >&2; done\n");
  chmod(program.c_str(), 0755);
  const ChildHandle child =
      StartChild(program, {"-i", R"(in "quoted"  two  spaces.avi)", "", R"(x" -y ")"}, "");
  ASSERT_NE(child, 0u);
  ASSERT_TRUE(Ended(child));
  EXPECT_EQ(RemainingLines(child), (Lines{"[-i]", R"([in "quoted"  two  spaces.avi])", "[]", R"([x" -y "])"}));
  CloseChild(child);
}

TEST(ChildProcess, WorkingDirectoryAndStandardInput) {
  ScratchDir dir;
  const ChildHandle child =
      StartChild("/bin/sh", {"-c", R"(pwd >&2; if read line; then echo read >&2; else echo eof >&2; fi)"},
                 dir.Path("."));
  ASSERT_TRUE(Ended(child));
  char resolved[PATH_MAX];
  ASSERT_NE(realpath(dir.Path(".").c_str(), resolved), nullptr);
  EXPECT_EQ(RemainingLines(child), (Lines{resolved, "eof"}));
  CloseChild(child);
}

TEST(ChildProcess, ProgramsThatCannotStartLeaveNothingOpen) {
  ScratchDir dir;
  const std::string notExecutable = dir.Write("plain", "#!/bin/sh\nexit 0\n");
  const int before = OpenDescriptors();
  EXPECT_EQ(StartChild(dir.Path("missing"), {}, ""), 0u);
  EXPECT_EQ(StartChild(notExecutable, {}, ""), 0u);
  EXPECT_EQ(StartChild(dir.Path("."), {}, ""), 0u);
  EXPECT_EQ(StartChild("", {}, ""), 0u);
  EXPECT_EQ(StartChild("/bin/sh", {"-c", "exit 0"}, dir.Path("no such dir")), 0u);
  EXPECT_EQ(OpenDescriptors(), before);
}

// A start that failed is forgotten: after more failures than the termination
// handler has places for, it still ends the program that does run. That
// program gives up the kernel's end-with-the-parent signal, so only the
// handler can end it.
TEST(ChildProcess, FailedStartsLeaveTheTerminationHandlerItsPlaces) {
  ScratchDir dir;
  const std::string pidFile = dir.Path("pid");
  const std::string script = "syscall(" + std::to_string(SYS_prctl) +
                             ", 1, 0, 0, 0, 0); open(F, '>', \"$ARGV[0].new\"); print F $$; close F; "
                             "rename(\"$ARGV[0].new\", $ARGV[0]); exec('sleep', '30');";
  const pid_t program = fork();
  if (program == 0) {
    InstallTerminationHandler();
    for (int i = 0; i < 100; ++i) StartChild(dir.Path("missing"), {}, "");
    StartChild("/usr/bin/perl", {"-e", script, pidFile}, "");
    pause();
    _exit(0);
  }
  ASSERT_TRUE(Eventually([&] { return std::filesystem::exists(pidFile); }));
  kill(program, SIGTERM);
  int status = 0;
  waitpid(program, &status, 0);
  const pid_t started = std::stoi(dir.Read("pid"));
  const bool running = kill(started, 0) == 0;
  if (running) kill(started, SIGKILL);
  EXPECT_FALSE(running) << "the handler did not end the program";
}

TEST(ChildProcess, LongLinesAndFullPipesAreReadWhole) {
  // More than a pipe holds: the child blocks until the parent reads on.
  const ChildHandle child = Shell(R"(i=0; while [ $i -lt 3000 ]; do printf '%0100d\n' $i >&2; i=$((i+1)); done)");
  std::vector<std::string> lines;
  ASSERT_TRUE(Eventually([&] {
    while (ChildOutputWaiting(child))
      if (std::string line = ReadErrorLine(child); !line.empty()) lines.push_back(line);
    return !ChildRunning(child) && !ChildOutputWaiting(child);
  }));
  ASSERT_EQ(lines.size(), 3000u);
  EXPECT_EQ(lines.back(), std::string(96, '0') + "2999");
  CloseChild(child);
}

// A flood without line ends costs neither unbounded memory nor time: the line
// comes as its last 64 KiB, where a progress line has its numbers.
// The process's peak resident size in kB since the last reset.
long PeakResidentKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with("VmHWM:")) return std::stol(line.substr(6));
  return 0;
}

// Resets the peak to the present size, so a later peak is this test's own
// whatever the tests before it in this process reached.
long ResetPeakResidentKb() {
  std::ofstream("/proc/self/clear_refs") << "5";
  return PeakResidentKb();
}

TEST(ChildProcess, AnEndlessLineKeepsItsEnd) {
  const std::string progress = "frame= 9 fps=1 q=3.0 size=1kB time=7.69 bitrate=1kbits/s";
  const long before = ResetPeakResidentKb();
  const ChildHandle child = Shell("head -c 40000000 /dev/zero | tr '\\0' x >&2; printf '" + progress +
                                  "\\rnext\\n' >&2");
  std::vector<std::string> lines;
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  while ((ChildRunning(child) || ChildOutputWaiting(child)) && std::chrono::steady_clock::now() < deadline) {
    if (std::string line = ReadErrorLine(child); !line.empty()) lines.push_back(line);
    if (!ChildOutputWaiting(child)) std::this_thread::sleep_for(1ms);
  }
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), 64u * 1024u);
  EXPECT_TRUE(lines[0].ends_with("xxx" + progress));
  EXPECT_EQ(lines[1], "next");
  CloseChild(child);
  EXPECT_LT(PeakResidentKb() - before, 16 * 1024) << "kilobytes more at the peak for 40 MB of output";
}

TEST(ChildProcess, ManyShortLinesComeInOrder) {
  const ChildHandle child = Shell(R"(seq 1 200000 >&2)");
  std::size_t count = 0;
  std::string last;
  bool ordered = true;
  ASSERT_TRUE(Eventually([&] {
    while (ChildOutputWaiting(child)) {
      std::string line = ReadErrorLine(child);
      if (line.empty()) continue;
      ordered = ordered && line == std::to_string(++count);
      last = std::move(line);
    }
    return !ChildRunning(child) && !ChildOutputWaiting(child);
  }));
  EXPECT_TRUE(ordered);
  EXPECT_EQ(last, "200000");
  CloseChild(child);
}

}  // namespace
