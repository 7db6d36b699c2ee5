#pragma once

#include <string>

#include <sys/types.h>

// File access for preferences documents: whole-file reads and a rewrite that
// never leaves a half-written file behind.

struct PrefsFileContent {
  bool opened = false;    // false: missing, not a regular file, or not readable
  bool writable = false;  // the file could be opened for writing
  bool complete = false;  // the whole content was read
  mode_t mode = 0644;     // permission bits, kept by a rewrite
  std::string bytes;
};

// Opens an existing regular file for reading and writing, or for reading only
// when writing is refused, and reads all of it.
PrefsFileContent ReadPrefsFile(const std::string& path);

// Creates the file, replacing and emptying one of that name. False on failure.
bool CreateEmptyPrefsFile(const std::string& path, mode_t& mode);

// Writes content to a new file beside path and renames it over path (through a
// symbolic link to its target), so the old file stays whole until the new one
// is complete. The new file gets the old one's permissions, or fallbackMode
// when the old one has gone.
bool ReplacePrefsFile(const std::string& path, const std::string& content, mode_t fallbackMode);
