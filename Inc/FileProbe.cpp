#include "Inc/FileProbe.h"

#include <filesystem>
#include <system_error>

PathProbe ProbePath(const std::string& path) {
  if (path.empty()) return {};
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (error || !std::filesystem::exists(status)) return {};
  if (std::filesystem::is_directory(status)) return {PathKind::Folder, 0};
  if (!std::filesystem::is_regular_file(status)) return {PathKind::File, 0};
  const auto size = std::filesystem::file_size(path, error);
  return {PathKind::File, error ? 0 : size};
}

bool IsNonEmptyFile(const std::string& path) {
  const PathProbe probe = ProbePath(path);
  return probe.kind == PathKind::File && probe.size > 0;
}
