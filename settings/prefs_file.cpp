#include "settings/prefs_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <new>

#include "Inc/ErrorHandler.h"

namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool ReadAll(int fd, std::string& bytes) {
  try {
    char buffer[65536];
    for (;;) {
      const ssize_t count = ::read(fd, buffer, sizeof buffer);
      if (count == 0) return true;
      if (count < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      bytes.append(buffer, static_cast<std::size_t>(count));
    }
  } catch (const std::bad_alloc&) {
    bytes.clear();
    return false;
  }
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t count = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (count < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(count);
  }
  return true;
}

std::string ResolvedPath(const std::string& path) {
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path;
  std::string result(resolved);
  std::free(resolved);
  return result;
}

}  // namespace

PrefsFileContent ReadPrefsFile(const std::string& path) {
  CHECKPOINT();
  PrefsFileContent content;
  // O_NONBLOCK keeps a FIFO from stalling the open; it is refused below.
  const int flags = O_CLOEXEC | O_NONBLOCK;
  int fd = ::open(path.c_str(), O_RDWR | flags);
  content.writable = fd >= 0;
  if (fd < 0) fd = ::open(path.c_str(), O_RDONLY | flags);
  FileDescriptor file(fd);
  if (file.get() < 0) return content;
  struct stat info {};
  if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return content;
  ::fcntl(file.get(), F_SETFL, ::fcntl(file.get(), F_GETFL) & ~O_NONBLOCK);
  content.opened = true;
  content.mode = info.st_mode & 07777;
  content.complete = ReadAll(file.get(), content.bytes);
  return content;
}

bool CreateEmptyPrefsFile(const std::string& path, mode_t& mode) {
  CHECKPOINT();
  FileDescriptor file(::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666));
  if (file.get() < 0) return false;
  struct stat info {};
  if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  mode = info.st_mode & 07777;
  return true;
}

bool ReplacePrefsFile(const std::string& path, const std::string& content, mode_t fallbackMode) {
  CHECKPOINT();
  const std::string target = ResolvedPath(path);
  struct stat old {};
  const bool oldExists = ::stat(target.c_str(), &old) == 0;
  std::string temporary = target + ".XXXXXX";
  FileDescriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
  if (file.get() < 0) return false;
  bool written = WriteAll(file.get(), content) &&
                 ::fchmod(file.get(), oldExists ? (old.st_mode & 07777) : fallbackMode) == 0;
  // Only root may hand the file back to another owner; for anyone else this is a no-op or refused.
  if (written && oldExists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()))
    written = ::fchown(file.get(), old.st_uid, old.st_gid) == 0 || errno == EPERM;
  written = written && ::fsync(file.get()) == 0;
  written = file.Close() && written;
  CHECKPOINT();
  if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}
