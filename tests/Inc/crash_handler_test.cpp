#include <gtest/gtest.h>

#include <cfenv>
#include <csignal>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <sched.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "Inc/ErrorHandler.h"
#include "convert/child_process.h"
#include "scratch_dir.h"

namespace {

// Faults provoked for real. Each sets the position and errno the report must show.
constexpr uint32_t kDivideLine = __LINE__ + 3;
void DivideByZero() {
  errno = 0;
  CHECKPOINT();
  volatile int dividend = 7;
  volatile int zero = 0;
  volatile int result = dividend / zero;
  (void)result;
}

constexpr uint32_t kNullWriteLine = __LINE__ + 3;
void WriteThroughNull() {
  errno = EACCES;
  CHECKPOINT();
  volatile int* volatile target = nullptr;
  *target = 1;
}

volatile bool keepRecursing = true;
int Recurse(int depth) {
  volatile char frame[512];
  frame[0] = static_cast<char>(depth);
  if (!keepRecursing) return 0;
  return Recurse(depth + 1) + frame[0];
}
constexpr uint32_t kRecursionLine = __LINE__ + 3;
void RunawayRecursion() {
  errno = 0;
  CHECKPOINT();
  Recurse(0);
}

void FaultInLangModule() {
  errno = 0;
  SourcePosition = (static_cast<uint32_t>(MFLPX_MODULE_LANG) << 24) | 77u;
  volatile int* volatile target = nullptr;
  *target = 1;
}

void Abort() {
  errno = 0;
  SourcePosition = 77;
  std::abort();
}

void FloatDivideByZero() {
  errno = 0;
  SourcePosition = 77;
  feenableexcept(FE_DIVBYZERO);
  volatile double zero = 0.0;
  volatile double result = 1.0 / zero;
  (void)result;
}

#if defined(__x86_64__)
void IllegalInstruction() {
  errno = 0;
  SourcePosition = 77;
  __builtin_trap();
}

void Breakpoint() {
  errno = 0;
  SourcePosition = 77;
  asm volatile("int3");
}
#endif

struct CrashRun {
  pid_t pid = 0;
  int status = -1;
  bool reportExists = false;
  std::string report;
};

// Runs fault in a child process that installed the handler with dir as its
// program directory, and collects what the crash left behind.
CrashRun Crash(const ScratchDir& dir, void (*fault)(), const std::string& notice = "/bin/true",
               bool asUnprivilegedUser = false) {
  const pid_t child = fork();
  if (child == 0) {
    // Root ignores file permissions; a read-only directory needs an ordinary user.
    if (asUnprivilegedUser && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(98);
    if (!InstallCrashHandler({dir.Dir(), notice})) _exit(97);
    fault();
    _exit(99);
  }
  CrashRun run;
  run.pid = child;
  // A handler that never ends is ended after a minute and shows as killed.
  for (int i = 0; i < 6000 && waitpid(child, &run.status, WNOHANG) == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  if (waitpid(child, &run.status, WNOHANG) == 0) {
    kill(child, SIGKILL);
    waitpid(child, &run.status, 0);
  }
  run.reportExists = std::filesystem::exists(dir.Path("ErrorReport.log"));
  run.report = dir.Read("ErrorReport.log");
  return run;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  if (start != text.size()) lines.push_back("<unterminated>" + text.substr(start));
  return lines;
}

// Puts the test in a zone five and a half hours east of UTC, so a report
// stamped in UTC shows.
class AwayFromUtc {
 public:
  AwayFromUtc() {
    if (const char* zone = std::getenv("TZ")) saved_ = zone;
    setenv("TZ", "XST-5:30", 1);
    tzset();
  }
  ~AwayFromUtc() {
    if (saved_) setenv("TZ", saved_->c_str(), 1);
    else unsetenv("TZ");
    tzset();
  }
  AwayFromUtc(const AwayFromUtc&) = delete;
  AwayFromUtc& operator=(const AwayFromUtc&) = delete;

 private:
  std::optional<std::string> saved_;
};

std::string LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[64];
  std::strftime(text, sizeof text, "Generated on %Y/%m/%d at %H:%M:%S", &local);
  return text;
}

void ExpectExitedWithZero(int status) {
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

struct FaultCase {
  const char* name;
  void (*fault)();
  const char* description;
  std::string module;
  uint32_t line;
  const char* systemError;
};

class RealFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(RealFault, WritesTheReportLineByLineAndExitsWithZero) {
  const FaultCase& fault = GetParam();
  const AwayFromUtc zone;
  ScratchDir dir;
  const std::string before = LocalNow();
  const CrashRun run = Crash(dir, fault.fault);
  const std::string after = LocalNow();

  ExpectExitedWithZero(run.status);
  const std::vector<std::string> lines = Lines(run.report);
  ASSERT_EQ(lines.size(), 10u) << run.report;
  EXPECT_EQ(lines[0], std::string(34, '-'));
  EXPECT_EQ(lines[1], "Marrowind Flickpress Error Log");
  EXPECT_EQ(lines[2], std::string(34, '-'));
  EXPECT_GE(lines[3], before);
  EXPECT_LE(lines[3], after);
  EXPECT_EQ(lines[4], "");
  EXPECT_EQ(lines[5], std::string("Error description: ") + fault.description);
  if (fault.module == "Main Module") {
    EXPECT_EQ(lines[6], "Module name: Main Module");
  } else {
    EXPECT_TRUE(lines[6].starts_with("Module name: /") && lines[6].ends_with(fault.module)) << lines[6];
  }
  EXPECT_EQ(lines[7], "Line: " + std::to_string(fault.line));
  EXPECT_EQ(lines[8], std::string("DLL error: ") + fault.systemError);
  EXPECT_EQ(lines[9], "EOF()");
}

const char* const kAccessViolation =
    "An attempted read or write to/from an address to which that process isn't allowed";

INSTANTIATE_TEST_SUITE_P(
    Faults, RealFault,
    ::testing::Values(
        FaultCase{"IntegerDivisionByZero", DivideByZero, "Attempted division by zero", "Main Module", kDivideLine, ""},
        FaultCase{"NullWrite", WriteThroughNull, kAccessViolation, "Main Module", kNullWriteLine,
                  "Permission denied"},
        FaultCase{"RunawayRecursion", RunawayRecursion,
                  "Stack overflow.Can occur during errant recursion, or when a function creates a particularly "
                  "large array on the stack.",
                  "Main Module", kRecursionLine, ""},
        FaultCase{"InLangModule", FaultInLangModule, kAccessViolation, "/Inc/Lang.cpp", 77, ""},
        FaultCase{"Abort", Abort, "UNKNOWN Error", "Main Module", 77, ""},
        FaultCase{"FloatDivisionByZero", FloatDivideByZero,
                  "FLOAT_DIVIDE_BY_ZERO The thread tried to divide a floating-point value by zero.", "Main Module", 77,
                  ""}
#if defined(__x86_64__)
        ,
        FaultCase{"IllegalInstruction", IllegalInstruction,
                  "Try to execute an invalid instruction -such as MMX opcodes on a non MMX system", "Main Module", 77,
                  ""},
        FaultCase{"Breakpoint", Breakpoint, "BREAKPOINT A breakpoint was encountered.", "Main Module", 77, ""}
#endif
        ),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

// Where the ending process below notes the id of the encoder it started,
// the output that encoder was writing, and whether the output is watched.
std::string encoderPidFile;
std::string outputFile;
bool outputWatched = true;

// Starts a stand-in encoder that is midway through its output, then faults.
void StartEncoderMidTask() {
  // Finished programs free their places, so many of them before the encoder
  // cannot crowd it out of the handler's list.
  for (int i = 0; i < 100; ++i) {
    const ChildHandle done = StartChild("/bin/true", {}, "");
    while (ChildRunning(done)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    CloseChild(done);
  }
  if (outputWatched) WatchIncompleteOutput(outputFile);
  StartChild("/bin/sh", {"-c", "echo half > '" + outputFile + "'; echo $$ > '" + encoderPidFile + ".new'; mv '" +
                                   encoderPidFile + ".new' '" + encoderPidFile + "'; exec sleep 30"}, "");
  for (int i = 0; i < 1000 && !std::filesystem::exists(encoderPidFile); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

void CrashWhileAnEncoderRuns() {
  StartEncoderMidTask();
  WriteThroughNull();
}

void WaitWhileAnEncoderRuns() {
  if (!InstallTerminationHandler()) _exit(96);
  StartEncoderMidTask();
  for (;;) pause();
}

// State letter of a process, or 0 once it is gone.
char ProcessState(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  const std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const auto close = text.rfind(')');
  return close == std::string::npos || close + 2 >= text.size() ? 0 : text[close + 2];
}

// However the program ends, its encoder ends too, and the half-written
// output the task created goes with it wherever the program can still act.
TEST(CrashHandler, NoEncoderAndNoIncompleteOutputOutliveTheProgram) {
  struct Case {
    int signal;  // 0: a fault in the program
    bool watched;
    bool outputLeft;
  };
  const Case cases[] = {{0, true, false},       {SIGTERM, true, false}, {SIGHUP, true, false},
                        {SIGINT, true, false},  {SIGTERM, false, true},  {SIGKILL, true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.signal ? strsignal(c.signal) : "fault") + (c.watched ? "" : ", not watched"));
    ScratchDir dir;
    encoderPidFile = dir.Path("encoder.pid");
    outputFile = dir.Path("out.amv");
    outputWatched = c.watched;
    CrashRun run;
    if (c.signal == 0) {
      run = Crash(dir, CrashWhileAnEncoderRuns);
      ExpectExitedWithZero(run.status);
      EXPECT_TRUE(run.reportExists);
    } else {
      const pid_t program = fork();
      if (program == 0) WaitWhileAnEncoderRuns();
      for (int i = 0; i < 1000 && !std::filesystem::exists(encoderPidFile); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      kill(program, c.signal);
      waitpid(program, &run.status, 0);
      ASSERT_TRUE(WIFSIGNALED(run.status));
      EXPECT_EQ(WTERMSIG(run.status), c.signal) << "ended by the signal it was sent";
    }
    std::ifstream in(encoderPidFile);
    pid_t encoder = 0;
    ASSERT_TRUE(in >> encoder);
    // Orphaned, the ended encoder is reaped by whoever adopts it.
    char state = ProcessState(encoder);
    for (int i = 0; i < 500 && state != 0 && state != 'Z'; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      state = ProcessState(encoder);
    }
    EXPECT_TRUE(state == 0 || state == 'Z') << "the encoder still runs, state " << state;
    if (state != 0 && state != 'Z') kill(encoder, SIGKILL);
    EXPECT_EQ(std::filesystem::exists(outputFile), c.outputLeft);
  }
}

// As the first process of its own process-id namespace (a container's init)
// the program outlives a signal it raises with the default action, and so
// exits with the status a shell shows for a program ended by that signal.
TEST(CrashHandler, AsAContainersFirstProcessATerminationSignalExitsWith128PlusItsNumber) {
  for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
    SCOPED_TRACE(strsignal(signal));
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t program = static_cast<pid_t>(syscall(SYS_clone, CLONE_NEWPID | SIGCHLD, 0, 0, 0, 0));
    const int cloneError = errno;
    if (program == 0) {
      if (!InstallTerminationHandler()) _exit(96);
      close(ready[1]);
      for (;;) pause();
    }
    close(ready[1]);
    char none = 0;
    // End of file: the handler is in place, or the program has ended.
    while (program > 0 && read(ready[0], &none, 1) < 0 && errno == EINTR) {
    }
    close(ready[0]);
    if (program < 0) GTEST_SKIP() << "no new process-id namespace here: " << strerror(cloneError);
    kill(program, signal);
    int status = 0;
    ASSERT_EQ(waitpid(program, &status, 0), program);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
  }
}

// The encoder has a process group of its own, so a terminal's Ctrl+C and
// hang-up reach only the program, which then ends the encoder itself.
TEST(CrashHandler, AStartedProgramLeadsAProcessGroupOfItsOwn) {
  ScratchDir dir;
  const std::string pidFile = dir.Path("pid");
  const ChildHandle child =
      StartChild("/bin/sh", {"-c", "echo $$ > '" + pidFile + ".new'; mv '" + pidFile + ".new' '" + pidFile +
                                       "'; exec sleep 30"}, "");
  for (int i = 0; i < 1000 && !std::filesystem::exists(pidFile); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const pid_t pid = std::stoi(dir.Read("pid"));
  EXPECT_EQ(getpgid(pid), pid);
  EXPECT_NE(getpgid(pid), getpgrp());
  KillChild(child);
  CloseChild(child);
}

TEST(CrashHandler, ReplacesAnExistingReport) {
  ScratchDir dir;
  std::string old;
  for (int i = 0; i < 1000; ++i) old += "an older report line\r\n";
  dir.Write("ErrorReport.log", old);
  const CrashRun run = Crash(dir, DivideByZero);
  ExpectExitedWithZero(run.status);
  EXPECT_EQ(run.report.find("older"), std::string::npos);
  EXPECT_EQ(Lines(run.report).size(), 10u);
}

// A notice that waits a little and then copies what it found, so the test
// sees whether the report was complete before the notice started and
// whether the crashing process waited for the notice to end.
std::string NoticeScript(const ScratchDir& place, const ScratchDir& program) {
  const std::string script =
      place.Write("notice.sh", "#!/bin/sh\necho $PPID > '" + place.Path("parent") + "'\necho \"$#:$1\" > '" +
                                   place.Path("told") + "'\nsleep 0.3\ncat '" +
                                   program.Path("ErrorReport.log") + "' > '" + place.Path("seen-by-notice") +
                                   "' 2>/dev/null\necho shown > '" + place.Path("shown") + "'\n");
  std::filesystem::permissions(script, std::filesystem::perms::all);
  std::filesystem::permissions(place.Dir(), std::filesystem::perms::all);
  return script;
}

void FaultWithChildEndsIgnored() {
  signal(SIGCHLD, SIG_IGN);
  WriteThroughNull();
}

// A parent may also start the program with SIGCHLD ignored; waiting for the
// notice then ends in ECHILD once it has gone, and the handler must finish.
TEST(CrashHandler, ShowsTheNoticeAfterTheReportAndWaitsForIt) {
  for (void (*fault)() : {WriteThroughNull, FaultWithChildEndsIgnored}) {
    ScratchDir program;
    ScratchDir notice;
    const CrashRun run = Crash(program, fault, NoticeScript(notice, program));
    ExpectExitedWithZero(run.status);
    EXPECT_EQ(notice.Read("shown"), "shown\n");
    EXPECT_EQ(notice.Read("seen-by-notice"), run.report);
    EXPECT_EQ(notice.Read("parent"), std::to_string(run.pid) + "\n") << "the notice is a program of its own";
    EXPECT_EQ(notice.Read("told"), "1:" + program.Dir() + "\n") << "the report's folder";
  }
}

// Where the notice below says it is up, and whether the crashed program
// still waited for it after a second thread faulted.
std::string noticeUpFile;

void FaultOnTwoThreads() {
  std::thread second([] {
    while (!std::filesystem::exists(noticeUpFile)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    WriteThroughNull();
  });
  second.detach();
  WriteThroughNull();
}

// A fault on another thread while the first one's report is being handled
// waits: the program ends once, when the notice has gone.
TEST(CrashHandler, ASecondThreadsFaultWaitsForTheFirstOnesNotice) {
  ScratchDir program;
  ScratchDir notice;
  noticeUpFile = notice.Path("up");
  const std::string script = notice.Write(
      "notice.sh", "#!/bin/sh\ntouch '" + noticeUpFile + "'\nsleep 0.3\nif [ \"$(cut -d' ' -f4 /proc/$$/stat)\" = "
                   "\"$PPID\" ]; then echo waited; else echo left; fi > '" + notice.Path("result") + "'\n");
  std::filesystem::permissions(script, std::filesystem::perms::all);
  const CrashRun run = Crash(program, FaultOnTwoThreads, script);
  ExpectExitedWithZero(run.status);
  EXPECT_EQ(Lines(run.report).size(), 10u);
  EXPECT_EQ(notice.Read("result"), "waited\n");
}

TEST(CrashHandler, ReadOnlyProgramDirectoryStillShowsTheNoticeAndExitsWithZero) {
  ScratchDir program;
  ScratchDir notice;
  const std::string script = NoticeScript(notice, program);
  std::filesystem::permissions(program.Dir(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                                                  std::filesystem::perms::group_read |
                                                  std::filesystem::perms::group_exec |
                                                  std::filesystem::perms::others_read |
                                                  std::filesystem::perms::others_exec);
  const CrashRun run = Crash(program, DivideByZero, script, true);
  ExpectExitedWithZero(run.status);
  EXPECT_FALSE(run.reportExists);
  EXPECT_EQ(notice.Read("shown"), "shown\n");
  EXPECT_EQ(notice.Read("told"), "0:\n") << "no folder: no report to point to";
}

TEST(CrashHandler, MissingNoticeProgramStillExitsWithZero) {
  ScratchDir dir;
  const CrashRun run = Crash(dir, DivideByZero, dir.Path("no-such-notice"));
  ExpectExitedWithZero(run.status);
  EXPECT_EQ(Lines(run.report).size(), 10u);
}

void ExitWith42(int) { _exit(42); }

TEST(CrashHandler, UninstallRestoresTheHandlerThatWasThereBefore) {
  ScratchDir dir;
  const pid_t child = fork();
  if (child == 0) {
    std::signal(SIGFPE, ExitWith42);
    InstallCrashHandler({dir.Dir(), "/bin/true"});
    UninstallCrashHandler();
    DivideByZero();
    _exit(99);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 42);
  EXPECT_FALSE(std::filesystem::exists(dir.Path("ErrorReport.log")));
}

}  // namespace
