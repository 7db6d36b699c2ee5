#include "Inc/ErrorHandler.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <ucontext.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <iterator>

#include "Inc/AppState.h"
#include "Inc/CrashClock.h"
#include "Inc/CrashReport.h"
#include "Inc/TextUtil.h"

std::atomic<uint32_t> SourcePosition{0};

namespace {

constexpr int kFaultSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT};
constexpr int kTerminationSignals[] = {SIGTERM, SIGHUP, SIGINT};
constexpr std::size_t kPathCapacity = PATH_MAX + 1;
// A fault this close to the stack pointer, or in the guard gap below the
// installing thread's stack, means the stack has run out.
constexpr uintptr_t kNearStackBytes = 64 * 1024;
constexpr uintptr_t kGuardGapBytes = 1024 * 1024;

// Everything the handler touches is prepared at installation, so that it
// needs no allocation and no lock while it runs.
char reportDirectory[kPathCapacity];
char reportPath[kPathCapacity];
char noticePath[kPathCapacity];
char reportText[3 * kPathCapacity];
// A slot's path is complete while its state is kSlotWatched; the handler
// reads no other.
constexpr int kSlotFree = 0;
constexpr int kSlotFilling = 1;
constexpr int kSlotWatched = 2;
struct IncompleteOutput {
  std::atomic<int> state{kSlotFree};
  char path[kPathCapacity];
};
IncompleteOutput incompleteOutputs[kMostConversionsAtOnce];
static_assert(std::atomic<int>::is_always_lock_free, "the handler reads the states without a lock");
alignas(16) char alternateStack[64 * 1024];
struct sigaction previousActions[std::size(kFaultSignals)];
bool installed = false;
uintptr_t stackLowest = 0;
std::atomic<pid_t> handlingThread{0};
std::atomic<pid_t> startedPrograms[64];
static_assert(std::atomic<pid_t>::is_always_lock_free, "the handler reads the slots without a lock");

void CopyPath(char (&target)[kPathCapacity], const std::string& path) {
  target[0] = '\0';
  if (path.size() < kPathCapacity) std::memcpy(target, path.c_str(), path.size() + 1);
}

void RecordStackBounds() {
  pthread_attr_t attributes;
  if (pthread_getattr_np(pthread_self(), &attributes) != 0) return;
  void* lowest = nullptr;
  std::size_t size = 0;
  if (pthread_attr_getstack(&attributes, &lowest, &size) == 0) stackLowest = reinterpret_cast<uintptr_t>(lowest);
  pthread_attr_destroy(&attributes);
}

uintptr_t StackPointer(const void* context) {
  const auto* machine = &static_cast<const ucontext_t*>(context)->uc_mcontext;
#if defined(__x86_64__)
  return static_cast<uintptr_t>(machine->gregs[REG_RSP]);
#elif defined(__aarch64__)
  return static_cast<uintptr_t>(machine->sp);
#else
  (void)machine;
  return 0;
#endif
}

bool IsStackExhaustion(const siginfo_t* info, const void* context) {
  const uintptr_t address = reinterpret_cast<uintptr_t>(info->si_addr);
  if (stackLowest != 0 && address < stackLowest + kNearStackBytes && address + kGuardGapBytes >= stackLowest)
    return true;
  const uintptr_t stackPointer = StackPointer(context);
  return stackPointer != 0 && address + kNearStackBytes >= stackPointer && address <= stackPointer + kNearStackBytes;
}

uint32_t FloatingPointCode(int code) {
  switch (code) {
    case FPE_INTDIV: return kExceptionIntDivideByZero;
    case FPE_INTOVF: return kExceptionIntOverflow;
    case FPE_FLTDIV: return kExceptionFloatDivideByZero;
    case FPE_FLTOVF: return kExceptionFloatOverflow;
    case FPE_FLTUND: return kExceptionFloatUnderflow;
    case FPE_FLTRES: return kExceptionFloatInexactResult;
    case FPE_FLTINV: return kExceptionFloatInvalidOperation;
    default: return kExceptionUnmapped;
  }
}

uint32_t ExceptionCode(int signal, const siginfo_t* info, const void* context) {
  switch (signal) {
    case SIGFPE: return FloatingPointCode(info->si_code);
    case SIGSEGV: return IsStackExhaustion(info, context) ? kExceptionStackOverflow : kExceptionAccessViolation;
    case SIGBUS: return kExceptionAccessViolation;
    case SIGILL:
      return info->si_code == ILL_PRVOPC || info->si_code == ILL_PRVREG ? kExceptionPrivilegedInstruction
                                                                        : kExceptionIllegalInstruction;
    case SIGTRAP: return info->si_code == TRAP_TRACE ? kExceptionSingleStep : kExceptionBreakpoint;
    default: return kExceptionUnmapped;
  }
}

bool WriteAll(int file, const char* bytes, std::size_t count) {
  while (count > 0) {
    const ssize_t written = write(file, bytes, count);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes += written;
    count -= static_cast<std::size_t>(written);
  }
  return true;
}

// True when the whole report reached the disk.
bool WriteReport(const CrashFacts& facts) {
  if (reportPath[0] == '\0') return false;
  const int file = open(reportPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (file < 0) return false;
  const bool written = WriteAll(file, reportText, FormatCrashReport(facts, reportText, sizeof reportText));
  return close(file) == 0 && written;
}

// The message box needs a toolkit that is not safe inside a signal handler,
// so a fresh process shows it while this one waits. It is told the report's
// folder, or nothing when no report could be written.
void ShowNotice(bool reportWritten) {
  if (noticePath[0] == '\0') return;
  // A raw clone runs no fork handlers, which may take locks the faulting thread holds.
  const pid_t child = static_cast<pid_t>(syscall(SYS_clone, SIGCHLD, 0, 0, 0, 0));
  if (child == 0) {
    char* const arguments[] = {noticePath, reportWritten ? reportDirectory : nullptr, nullptr};
    execve(noticePath, arguments, environ);
    _exit(127);
  }
  if (child < 0) return;
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
}

void KillStartedPrograms() {
  for (std::atomic<pid_t>& slot : startedPrograms) {
    const pid_t pid = slot.load();
    if (pid > 0) kill(pid, SIGKILL);
  }
}

// Waits for the killed programs, so none can still write to the output once
// it is removed. A program already reaped (and not yet forgotten) is no
// child any more and returns at once.
void AwaitStartedPrograms() {
  for (std::atomic<pid_t>& slot : startedPrograms) {
    const pid_t pid = slot.load();
    if (pid <= 0) continue;
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
}

void RemoveIncompleteOutputs() {
  for (IncompleteOutput& output : incompleteOutputs) {
    struct stat info {};
    if (output.state.load() == kSlotWatched && lstat(output.path, &info) == 0 && S_ISREG(info.st_mode))
      unlink(output.path);
  }
}

void TerminationHandler(int signal) {
  KillStartedPrograms();
  AwaitStartedPrograms();
  RemoveIncompleteOutputs();
  struct sigaction standard {};
  standard.sa_handler = SIG_DFL;
  sigemptyset(&standard.sa_mask);
  sigaction(signal, &standard, nullptr);
  sigset_t self;
  sigemptyset(&self);
  sigaddset(&self, signal);
  sigprocmask(SIG_UNBLOCK, &self, nullptr);
  raise(signal);
  _exit(128 + signal);
}

void CrashHandler(int signal, siginfo_t* info, void* context) {
  const int faultErrno = errno;
  const uint32_t position = SourcePosition.load(std::memory_order_relaxed);
  const uint32_t code = ExceptionCode(signal, info, context);
  CHECKPOINT();
  const pid_t self = static_cast<pid_t>(syscall(SYS_gettid));
  pid_t first = 0;
  if (!handlingThread.compare_exchange_strong(first, self)) {
    // A fault inside the handler ends the process at once; a fault on
    // another thread waits until the first report has ended the process.
    if (first == self) _exit(0);
    for (;;) pause();
  }
  KillStartedPrograms();
  AwaitStartedPrograms();
  RemoveIncompleteOutputs();
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  ShowNotice(WriteReport({code, position, CrashClockLocalTime(now.tv_sec), faultErrno}));
  _exit(0);
}

}  // namespace

void WatchStartedProgram(pid_t pid) {
  for (std::atomic<pid_t>& slot : startedPrograms) {
    pid_t empty = 0;
    if (slot.compare_exchange_strong(empty, pid)) return;
  }
}

void ForgetStartedProgram(pid_t pid) {
  for (std::atomic<pid_t>& slot : startedPrograms) {
    pid_t expected = pid;
    if (slot.compare_exchange_strong(expected, 0)) return;
  }
}

void WatchIncompleteOutput(const std::string& path) {
  if (path.empty() || path.size() >= kPathCapacity) return;
  for (IncompleteOutput& output : incompleteOutputs) {
    int free = kSlotFree;
    if (!output.state.compare_exchange_strong(free, kSlotFilling)) continue;
    std::memcpy(output.path, path.c_str(), path.size() + 1);
    output.state.store(kSlotWatched);
    return;
  }
}

void ForgetIncompleteOutput(const std::string& path) {
  for (IncompleteOutput& output : incompleteOutputs) {
    if (output.state.load() != kSlotWatched || path != output.path) continue;
    output.state.store(kSlotFree);
    return;
  }
}

bool InstallTerminationHandler() {
  struct sigaction action {};
  action.sa_handler = TerminationHandler;
  // The other termination signals wait while one is being handled.
  sigemptyset(&action.sa_mask);
  for (int signal : kTerminationSignals) sigaddset(&action.sa_mask, signal);
  for (int signal : kTerminationSignals)
    if (sigaction(signal, &action, nullptr) != 0) return false;
  return true;
}

bool InstallCrashHandler(const CrashHandlerSettings& settings) {
  CHECKPOINT();
  const std::string directory =
      WithTrailingSlash(settings.reportDirectory.empty() ? ExecutableDirectory() : settings.reportDirectory);
  CopyPath(reportDirectory, directory);
  CopyPath(reportPath, directory + "ErrorReport.log");
  CopyPath(noticePath, settings.noticeProgram.empty() ? ExecutableDirectory() + "mflpx-crash-notice"
                                                      : settings.noticeProgram);
  PrepareCrashClock(std::time(nullptr));
  RecordStackBounds();

  CHECKPOINT();
  stack_t stack{};
  stack.ss_sp = alternateStack;
  stack.ss_size = sizeof alternateStack;
  if (sigaltstack(&stack, nullptr) != 0) return false;

  struct sigaction action {};
  action.sa_sigaction = CrashHandler;
  sigemptyset(&action.sa_mask);
  // SA_NODEFER lets a fault inside the handler reach it again and end the
  // process with 0 instead of the default action.
  action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
  // Installing again keeps the handlers that were there before the first time.
  const bool keepPrevious = !installed;
  installed = true;
  for (std::size_t i = 0; i < std::size(kFaultSignals); ++i) {
    if (sigaction(kFaultSignals[i], &action, keepPrevious ? &previousActions[i] : nullptr) != 0) return false;
  }
  return true;
}

void UninstallCrashHandler() {
  CHECKPOINT();
  if (!installed) return;
  for (std::size_t i = 0; i < std::size(kFaultSignals); ++i) sigaction(kFaultSignals[i], &previousActions[i], nullptr);
  stack_t stack{};
  stack.ss_flags = SS_DISABLE;
  sigaltstack(&stack, nullptr);
  installed = false;
}
