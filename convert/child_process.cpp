#include "convert/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>
#include <mutex>

#include "Inc/ErrorHandler.h"

extern char** environ;

namespace {

// Bytes taken from the pipe per read, and the longest line kept: a longer
// one keeps its end, where a progress line has its numbers. Both bound the
// work and the memory of one call, however much the child writes.
constexpr std::size_t kReadChunk = 64 * 1024;
constexpr std::size_t kMaxLineBytes = 64 * 1024;
// How long KillChild waits for the killed child to end so it can be reaped.
constexpr int kReapWaitMs = 2000;

struct ChildProcess {
  pid_t pid = -1;
  int errorPipe = -1;  // parent's read end; -1 when no pipe could be made
  int endDescriptor = -1;  // pidfd, readable once the child has ended
  // Text read but not yet returned is pending[consumed, end); no terminator
  // lies in pending[consumed, scanned), so no byte is searched twice.
  std::string pending;
  std::size_t consumed = 0;
  std::size_t scanned = 0;
  bool ended = false;
  int status = 0;
  bool statusKnown = false;
};

struct Registry {
  std::mutex lock;
  std::map<ChildHandle, std::unique_ptr<ChildProcess>> live;
  ChildHandle next = 1;
  std::vector<pid_t> strays;  // closed while still running, reaped once they end
};

// Process-wide, as the children are: any handle may be polled, stopped or
// closed from any caller, and the strays are reaped whoever started them.
Registry& Children() {
  static Registry registry;
  return registry;
}

ChildProcess* Find(ChildHandle handle) {
  std::lock_guard guard(Children().lock);
  const auto it = Children().live.find(handle);
  return it == Children().live.end() ? nullptr : it->second.get();
}

void ReapStrays() {
  std::lock_guard guard(Children().lock);
  auto& strays = Children().strays;
  std::erase_if(strays, [](pid_t pid) {
    if (waitpid(pid, nullptr, WNOHANG) == 0) return false;
    ForgetStartedProgram(pid);
    return true;
  });
}

// Notes the child's end without blocking, keeping its status: the pid is
// never touched again once reaped, so a reused pid is never killed.
bool HasEnded(ChildProcess& child) {
  if (child.ended) return true;
  int status = 0;
  pid_t result;
  do result = waitpid(child.pid, &status, WNOHANG);
  while (result < 0 && errno == EINTR);
  if (result == 0) return false;
  ForgetStartedProgram(child.pid);
  child.ended = true;
  child.statusKnown = result == child.pid;
  child.status = status;
  return true;
}

std::size_t PendingSize(const ChildProcess& child) { return child.pending.size() - child.consumed; }

// Position of the first terminator of the pending text, or npos.
std::size_t FindTerminator(ChildProcess& child) {
  const std::size_t from = std::max(child.consumed, child.scanned);
  const std::size_t found = child.pending.find_first_of("\r\n", from);
  child.scanned = found == std::string::npos ? child.pending.size() : found;
  return found;
}

// Drops returned text from the buffer once it makes up half of it, so the
// copying stays linear in the output.
void Compact(ChildProcess& child) {
  if (child.consumed == 0 || child.consumed < child.pending.size() / 2) return;
  child.pending.erase(0, child.consumed);
  child.scanned -= std::min(child.scanned, child.consumed);
  child.consumed = 0;
}

// Keeps only the end of an over-long unterminated line.
void BoundPendingLine(ChildProcess& child) {
  if (PendingSize(child) <= kMaxLineBytes) return;
  child.consumed = child.pending.size() - kMaxLineBytes;
  Compact(child);
}

std::string TakeLine(ChildProcess& child, std::size_t end, std::size_t next) {
  const std::size_t length = end - child.consumed;
  const std::size_t kept = std::min(length, kMaxLineBytes);
  std::string line = child.pending.substr(end - kept, kept);
  child.consumed = next;
  child.scanned = next;
  Compact(child);
  return line;
}

std::size_t BytesWaiting(const ChildProcess& child) {
  int count = 0;
  if (child.errorPipe < 0 || ioctl(child.errorPipe, FIONREAD, &count) != 0 || count < 0) return 0;
  return static_cast<std::size_t>(count);
}

// Appends the bytes that can be read without waiting, at most one chunk;
// returns how many.
std::size_t ReadWaiting(const ChildProcess& child, std::string& buffer) {
  const std::size_t wanted = std::min(BytesWaiting(child), kReadChunk);
  const std::size_t start = buffer.size();
  buffer.resize(start + wanted);
  std::size_t got = 0;
  while (got < wanted) {
    const ssize_t n = read(child.errorPipe, buffer.data() + start + got, wanted - got);
    if (n > 0) got += static_cast<std::size_t>(n);
    else if (n < 0 && errno == EINTR) continue;
    else break;
  }
  buffer.resize(start + got);
  return got;
}

// Keeps a descriptor off 0..2 so that making it the child's stderr cannot
// collide with the child's standard descriptors.
int AboveStandardFds(int fd) {
  if (fd > STDERR_FILENO) return fd;
  const int moved = fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  close(fd);
  return moved;
}

bool MakeErrorPipe(int fds[2]) {
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  fds[0] = AboveStandardFds(fds[0]);
  fds[1] = AboveStandardFds(fds[1]);
  if (fds[0] < 0 || fds[1] < 0 || fcntl(fds[0], F_SETFL, O_NONBLOCK) != 0) {
    if (fds[0] >= 0) close(fds[0]);
    if (fds[1] >= 0) close(fds[1]);
    return false;
  }
  return true;
}

// Between fork and exec only async-signal-safe calls: the GUI's other
// threads may hold locks the child would never see released.
[[noreturn]] void RunChild(const char* program, char* const* argv, const char* workingDirectory, int errorWriteEnd,
                           int reportEnd, pid_t parent) {
  // A group of its own: a terminal's Ctrl+C or hang-up reaches only the
  // program, which then stops the encoder as Stop does.
  setpgid(0, 0);
  // The encoder ends with the program however the program ends, even killed;
  // a parent that died before this took effect is no longer the parent.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) _exit(127);
  // Default handlers for the signals a GUI process may have changed, then
  // none blocked.
  struct sigaction standard {};
  standard.sa_handler = SIG_DFL;
  sigemptyset(&standard.sa_mask);
  for (int sig : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD}) sigaction(sig, &standard, nullptr);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  const int input = open("/dev/null", O_RDONLY);
  if (input >= 0 && input != STDIN_FILENO) {
    dup2(input, STDIN_FILENO);
    close(input);
  }
  if (errorWriteEnd >= 0) dup2(errorWriteEnd, STDERR_FILENO);
  if (workingDirectory[0] == '\0' || chdir(workingDirectory) == 0) execve(program, argv, environ);
  const int error = errno;
  while (write(reportEnd, &error, sizeof error) < 0 && errno == EINTR) {
  }
  _exit(127);
}

// Starts the program; a failure to run it (missing, not executable, no such
// directory) comes back through a pipe that exec closes, and the failed
// child is reaped here.
pid_t Spawn(const std::string& program, const std::vector<std::string>& arguments,
            const std::string& workingDirectory, int errorWriteEnd) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return -1;
  // No handler of ours may run in the child before it has reset them.
  sigset_t all;
  sigset_t previous;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &previous);
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid == 0) RunChild(program.c_str(), argv.data(), workingDirectory.c_str(), errorWriteEnd, report[1], parent);
  // Watched before a termination signal can arrive, so the handler never
  // misses a program that is already running.
  if (pid > 0) WatchStartedProgram(pid);
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  close(report[1]);
  if (pid < 0) {
    close(report[0]);
    return -1;
  }
  // Also here, so the group exists whichever of the two runs first.
  setpgid(pid, pid);
  int error = 0;
  ssize_t got;
  do got = read(report[0], &error, sizeof error);
  while (got < 0 && errno == EINTR);
  close(report[0]);
  if (got == 0) return pid;
  ForgetStartedProgram(pid);
  while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
  return -1;
}

// An ignored SIGCHLD (inherited from whoever started us) makes the kernel
// reap children at once, and every exit status would be lost, a failed
// encoder reading as a success. Handlers others installed stay as they are.
void KeepExitStatuses() {
  struct sigaction current{};
  if (sigaction(SIGCHLD, nullptr, &current) == 0 && !(current.sa_flags & SA_SIGINFO) &&
      current.sa_handler == SIG_IGN) {
    struct sigaction standard{};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    sigaction(SIGCHLD, &standard, nullptr);
  }
}

}  // namespace

ChildHandle StartChild(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& workingDirectory) {
  ReapStrays();
  KeepExitStatuses();
  int fds[2] = {-1, -1};
  const bool piped = MakeErrorPipe(fds);
  const pid_t pid = Spawn(program, arguments, workingDirectory, piped ? fds[1] : -1);
  if (piped) close(fds[1]);
  if (pid < 0) {
    if (piped) close(fds[0]);
    return 0;
  }
  auto child = std::make_unique<ChildProcess>();
  child->pid = pid;
  child->errorPipe = piped ? fds[0] : -1;
  // Only this runner reaps the pid, so it still names this child here.
  child->endDescriptor = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  std::lock_guard guard(Children().lock);
  const ChildHandle handle = Children().next++;
  Children().live.emplace(handle, std::move(child));
  return handle;
}

bool ChildRunning(ChildHandle handle) {
  ChildProcess* child = Find(handle);
  return child != nullptr && !HasEnded(*child);
}

std::string ReadErrorLine(ChildHandle handle) {
  ChildProcess* child = Find(handle);
  if (child == nullptr) return {};
  const std::string& pending = child->pending;
  // The pipe is read only when no complete line is pending (a CR at the very
  // end may still be followed by its LF), so the pending text stays small.
  std::size_t end = FindTerminator(*child);
  std::size_t readBytes = 0;
  if (end == std::string::npos || (end + 1 == pending.size() && pending[end] == '\r')) {
    readBytes = ReadWaiting(*child, child->pending);
    end = FindTerminator(*child);
  }
  if (end != std::string::npos) {
    const bool crlf = pending[end] == '\r' && end + 1 < pending.size() && pending[end + 1] == '\n';
    return TakeLine(*child, end, end + (crlf ? 2 : 1));
  }
  if (PendingSize(*child) > 0 && readBytes == 0 && HasEnded(*child))
    return TakeLine(*child, pending.size(), pending.size());
  BoundPendingLine(*child);
  return {};
}

bool ChildOutputWaiting(ChildHandle handle) {
  ChildProcess* child = Find(handle);
  if (child == nullptr) return false;
  return FindTerminator(*child) != std::string::npos || BytesWaiting(*child) > 0 ||
         (PendingSize(*child) > 0 && HasEnded(*child));
}

int32_t ChildExitCode(ChildHandle handle) {
  ChildProcess* child = Find(handle);
  if (child == nullptr || !HasEnded(*child) || !child->statusKnown) return 0;
  if (WIFEXITED(child->status)) return WEXITSTATUS(child->status);
  if (WIFSIGNALED(child->status)) return -1;
  return 0;
}

void KillChild(ChildHandle handle) {
  ChildProcess* child = Find(handle);
  if (child == nullptr || HasEnded(*child)) return;
  kill(child->pid, SIGKILL);
  // Reaped at once, so no zombie waits for the next batch; a child that the
  // system cannot end in time is reaped later like any stray.
  pollfd end{child->endDescriptor, POLLIN, 0};
  if (end.fd >= 0) {
    while (poll(&end, 1, kReapWaitMs) < 0 && errno == EINTR) {
    }
    HasEnded(*child);
    return;
  }
  for (int waited = 0; waited < kReapWaitMs && !HasEnded(*child); ++waited) usleep(1000);
}

void CloseChild(ChildHandle handle) {
  std::unique_ptr<ChildProcess> child;
  {
    std::lock_guard guard(Children().lock);
    const auto it = Children().live.find(handle);
    if (it == Children().live.end()) return;
    child = std::move(it->second);
    Children().live.erase(it);
  }
  if (child->errorPipe >= 0) close(child->errorPipe);
  if (child->endDescriptor >= 0) close(child->endDescriptor);
  if (!HasEnded(*child)) {
    std::lock_guard guard(Children().lock);
    Children().strays.push_back(child->pid);
  }
  ReapStrays();
}

bool IsChild(ChildHandle handle) {
  std::lock_guard guard(Children().lock);
  return Children().live.count(handle) != 0;
}

int ChildEndDescriptor(ChildHandle handle) {
  const ChildProcess* child = Find(handle);
  return child != nullptr ? child->endDescriptor : -1;
}
