#pragma once

#include <cstddef>
#include <string>

#include <sys/types.h>

// File access for preferences documents: whole-file reads and a rewrite that
// never leaves a half-written file behind.

// The largest preferences file read: ours hold a few kilobytes, and a larger
// one would cost start-up time and memory for nothing.
constexpr std::size_t kMaxPrefsFileBytes = 4 * 1024 * 1024;

struct PrefsFileContent {
  bool opened = false;    // false: missing, not a regular file, or not readable
  bool writable = false;  // the file could be opened for writing
  bool complete = false;  // the whole content was read
  bool tooLarge = false;  // over kMaxPrefsFileBytes: nothing is read
  mode_t mode = 0644;     // permission bits, kept by a rewrite
  std::string bytes;
};

// Opens an existing regular file for reading and writing, or for reading only
// when writing is refused, and reads all of it.
PrefsFileContent ReadPrefsFile(const std::string& path);

// Whether a rewrite could create the file: its folder can be written and the
// name is free or a regular file. Gives the mode a new file gets. Touches nothing.
bool CanCreatePrefsFile(const std::string& path, mode_t& mode);

// Removes what rewrites of path left behind when the program was killed
// between writing their new file and renaming it (path.XXXXXX). One written
// in the last minute may be another instance's rewrite in flight, and stays.
void RemoveStaleRewrites(const std::string& path);

// Holds the advisory lock that every read-change-write of a preferences file
// takes, so two instances never write from a stale copy. The lock is on the
// file's folder, which a rewrite replaces the file in; none is held when the
// folder cannot be opened.
class PrefsFileLock {
 public:
  explicit PrefsFileLock(const std::string& path);
  ~PrefsFileLock();
  PrefsFileLock(const PrefsFileLock&) = delete;
  PrefsFileLock& operator=(const PrefsFileLock&) = delete;

 private:
  int folder_ = -1;
};

// Writes content to a new file beside path and renames it over path (through a
// symbolic link to its target), so the old file stays whole until the new one
// is complete. The new file gets the old one's permissions, or fallbackMode
// when the old one has gone.
bool ReplacePrefsFile(const std::string& path, const std::string& content, mode_t fallbackMode);
