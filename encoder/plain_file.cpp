#include "encoder/plain_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Failure RefuseIfNotAFile(const std::string& path) {
  const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return std::nullopt;
  struct stat info {};
  const bool other = fstat(descriptor, &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
  close(descriptor);
  if (other) return path + ": not a file but a pipe, device or socket, which cannot be converted.";
  return std::nullopt;
}
