#include "Inc/PrefsFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <new>

#include "Inc/ErrorHandler.h"

namespace {

// A rewrite takes milliseconds; a temporary this old was left by a kill.
constexpr std::time_t kStaleRewriteSeconds = 60;

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int Descriptor() const { return fd_; }
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

// Reads up to limit bytes, and one more to tell whether there were more.
bool ReadAll(int fd, std::string& bytes, std::size_t limit, bool& tooLarge) {
  try {
    char buffer[65536];
    for (;;) {
      const std::size_t wanted = std::min(sizeof buffer, limit + 1 - bytes.size());
      const ssize_t count = ::read(fd, buffer, wanted);
      if (count == 0) return true;
      if (count < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      bytes.append(buffer, static_cast<std::size_t>(count));
      if (bytes.size() > limit) {
        tooLarge = true;
        std::string().swap(bytes);
        return false;
      }
    }
  } catch (const std::bad_alloc&) {
    std::string().swap(bytes);
    return false;
  }
}

// Rewrites name their new file path + "." + six letters or digits.
bool IsRewriteOf(const std::string& name, const std::string& base) {
  if (name.size() != base.size() + 7 || !name.starts_with(base) || name[base.size()] != '.') return false;
  return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(base.size()) + 1, name.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  });
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

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
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
  if (file.Descriptor() < 0) return content;
  struct stat info {};
  if (::fstat(file.Descriptor(), &info) != 0 || !S_ISREG(info.st_mode)) return content;
  ::fcntl(file.Descriptor(), F_SETFL, ::fcntl(file.Descriptor(), F_GETFL) & ~O_NONBLOCK);
  content.opened = true;
  content.mode = info.st_mode & 07777;
  if (static_cast<std::size_t>(info.st_size) > kMaxPrefsFileBytes) {
    content.tooLarge = true;
    return content;
  }
  content.complete = ReadAll(file.Descriptor(), content.bytes, kMaxPrefsFileBytes, content.tooLarge);
  return content;
}

bool CanCreatePrefsFile(const std::string& path, mode_t& mode) {
  CHECKPOINT();
  const std::string target = ResolvedPath(path);
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  struct stat info {};
  if (::stat(target.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return false;
  if (::access(folder.c_str(), W_OK | X_OK) != 0) return false;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  mode = 0666 & ~mask;
  return true;
}

void RemoveStaleRewrites(const std::string& path) {
  CHECKPOINT();
  const std::string target = ResolvedPath(path);
  const std::string base = target.substr(target.rfind('/') + 1);
  DIR* listing = ::opendir(FolderOf(target).c_str());
  if (listing == nullptr) return;
  const std::time_t now = std::time(nullptr);
  while (const dirent* entry = ::readdir(listing)) {
    const std::string name = entry->d_name;
    struct stat info {};
    if (!IsRewriteOf(name, base) || ::fstatat(::dirfd(listing), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(info.st_mode) || info.st_mtime > now - kStaleRewriteSeconds)
      continue;
    ::unlinkat(::dirfd(listing), name.c_str(), 0);
  }
  ::closedir(listing);
}

bool ReplacePrefsFile(const std::string& path, const std::string& content, mode_t fallbackMode) {
  CHECKPOINT();
  const std::string target = ResolvedPath(path);
  struct stat old {};
  const bool oldExists = ::stat(target.c_str(), &old) == 0;
  std::string temporary = target + ".XXXXXX";
  FileDescriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
  if (file.Descriptor() < 0) return false;
  bool written = WriteAll(file.Descriptor(), content) &&
                 ::fchmod(file.Descriptor(), oldExists ? (old.st_mode & 07777) : fallbackMode) == 0;
  // Only root may hand the file back to another owner; for anyone else this is a no-op or refused.
  if (written && oldExists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()))
    written = ::fchown(file.Descriptor(), old.st_uid, old.st_gid) == 0 || errno == EPERM;
  written = written && ::fsync(file.Descriptor()) == 0;
  written = file.Close() && written;
  CHECKPOINT();
  if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

PrefsFileLock::PrefsFileLock(const std::string& path) {
  CHECKPOINT();
  folder_ = ::open(FolderOf(ResolvedPath(path)).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder_ < 0) return;
  while (::flock(folder_, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    ::close(folder_);
    folder_ = -1;
    return;
  }
}

PrefsFileLock::~PrefsFileLock() {
  if (folder_ >= 0) ::close(folder_);
}
