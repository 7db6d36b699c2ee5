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
  for (const TaskOption& option : TaskOptions()) {
    const std::string missing = IsAddedOption(option) ? IntToText(option.initial) : "0";
    SetOptionValue(task, option, DecimalValue(PrefsReadString(option.configKey, missing)));
  }
  PrefsClose();
  return task;
}

void StoreOptionDefaults(const std::string& configPath, const Task& options) {
  if (!PrefsOpen(configPath)) return;
  CHECKPOINT();
  PrefsSelectGroup(kGroup);
  for (const TaskOption& option : TaskOptions()) {
    const int32_t value = OptionValue(options, option);
    // No value holds a line end, so this default tells a missing key.
    if (IsAddedOption(option) && value == option.initial && PrefsReadString(option.configKey, "\n") == "\n")
      continue;
    PrefsWriteString(option.configKey, IntToText(value));
  }
  PrefsClose();
}
