#include "tasks/output_clash.h"

#include <filesystem>
#include <system_error>

#include "tasks/task_list.h"

// Resolves what exists of the path (links included) and tidies the rest.
std::string OutputFileKey(const std::string& output) {
  std::error_code error;
  const std::filesystem::path resolved = std::filesystem::weakly_canonical(output, error);
  if (error) return std::filesystem::path(output).lexically_normal().string();
  return resolved.string();
}

std::set<std::string> TaskOutputKeys(const TaskList& tasks, int except) {
  std::set<std::string> keys;
  for (int position = 0; position < tasks.Count(); ++position)
    if (position != except) keys.insert(OutputFileKey(tasks.At(position).OutputFile));
  return keys;
}
