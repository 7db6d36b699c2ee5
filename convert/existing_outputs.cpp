#include "convert/existing_outputs.h"

#include <sys/stat.h>

#include "Inc/Lang.h"
#include "Inc/UiSeam.h"
#include "tasks/path_list_text.h"

namespace {

bool Exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

}  // namespace

ExistingOutputPlan PlanExistingOutputs(int taskCount, const std::function<Task(int position)>& taskAt) {
  ExistingOutputPlan plan;
  plan.replace.assign(static_cast<std::size_t>(taskCount), false);
  plan.skip.assign(static_cast<std::size_t>(taskCount), false);
  std::vector<int> unasked;
  std::vector<std::string> paths;
  for (int position = 0; position < taskCount; ++position) {
    const Task task = taskAt(position);
    if (!Exists(task.OutputFile)) continue;
    if (task.replaceOutput) {
      plan.replace[static_cast<std::size_t>(position)] = true;
      continue;
    }
    unasked.push_back(position);
    paths.push_back(task.OutputFile);
  }
  if (unasked.empty()) return plan;
  const MessageAnswer answer = ShowMessageBox(UiText("s57"), PathListText("s172", paths) + "\n\n" + UiText("s173"),
                                              MessageIcon::Question, MessageButtons::ReplaceSkipCancel);
  if (answer != MessageAnswer::Replace && answer != MessageAnswer::Skip) {
    plan.cancelled = true;
    return plan;
  }
  for (const int position : unasked)
    (answer == MessageAnswer::Replace ? plan.replace : plan.skip)[static_cast<std::size_t>(position)] = true;
  return plan;
}
