#include "tasks/dropped_files.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "tasks/editor_paths.h"

namespace fs = std::filesystem;

namespace {

bool Hidden(const fs::path& path) {
  const std::string name = path.filename().string();
  return !name.empty() && name[0] == '.';
}

// Unreadable folders are passed over: what can be read still counts.
void AddVideosIn(const fs::path& folder, std::vector<std::string>& files) {
  std::vector<std::string> found;
  std::error_code error;
  fs::recursive_directory_iterator entries(folder, fs::directory_options::skip_permission_denied, error);
  for (const fs::recursive_directory_iterator end; !error && entries != end; entries.increment(error)) {
    const fs::directory_entry& entry = *entries;
    std::error_code ignored;
    if (Hidden(entry.path())) {
      if (entry.is_directory(ignored)) entries.disable_recursion_pending();
      continue;
    }
    if (entry.is_regular_file(ignored) && IsVideoFileName(entry.path().filename().string()))
      found.push_back(entry.path().string());
  }
  std::sort(found.begin(), found.end());
  files.insert(files.end(), found.begin(), found.end());
}

}  // namespace

std::vector<std::string> ExpandInputPaths(const std::vector<std::string>& paths) {
  std::vector<std::string> files;
  for (const std::string& path : paths) {
    std::error_code error;
    if (fs::is_directory(path, error))
      AddVideosIn(path, files);
    else
      files.push_back(path);
  }
  return files;
}
