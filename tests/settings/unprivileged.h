#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>

// Runs body in a child process and tells whether it returned true. As root the
// child first becomes "nobody", so file permissions bind it as they bind users;
// fileSizeLimit > 0 makes larger writes fail as on a full disk.
inline bool RunInChild(const std::function<bool()>& body, bool unprivileged, rlim_t fileSizeLimit = 0) {
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    if (unprivileged && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
    if (fileSizeLimit > 0) {
      std::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{fileSizeLimit, fileSizeLimit};
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(2);
    }
    _exit(body() ? 0 : 1);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
