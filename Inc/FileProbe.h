#pragma once

#include <cstdint>
#include <string>

// What exists at a path: nothing, a folder (or drive root), or a file of a size.
enum class PathKind { Missing, Folder, File };

struct PathProbe {
  PathKind kind = PathKind::Missing;
  std::uintmax_t size = 0;  // bytes; 0 for anything but a regular file
};

PathProbe ProbePath(const std::string& path);

// An existing file of at least one byte: the test every input path must pass.
bool IsNonEmptyFile(const std::string& path);
