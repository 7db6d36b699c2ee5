#include "tasks/option_defaults.h"

#include "Inc/ErrorHandler.h"
#include "Inc/Prefs.h"
#include "Inc/TextUtil.h"
#include "tasks/task_options.h"

namespace {

constexpr const char* kGroup = "MFLPX";

}  // namespace

Task ReadOptionDefaults(const std::string& configPath) {
  if (!PrefsOpen(configPath)) return Task{};
  CHECKPOINT();
  PrefsSelectGroup(kGroup);
  Task task;
  for (const TaskOption& option : TaskOptions())
    SetOptionValue(task, option, DecimalValue(PrefsReadString(option.configKey, "0")));
  PrefsClose();
  return task;
}

void StoreOptionDefaults(const std::string& configPath, const Task& options) {
  if (!PrefsOpen(configPath)) return;
  CHECKPOINT();
  PrefsSelectGroup(kGroup);
  for (const TaskOption& option : TaskOptions())
    PrefsWriteString(option.configKey, IntToText(OptionValue(options, option)));
  PrefsClose();
}
