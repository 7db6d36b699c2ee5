#include "tasks/option_defaults.h"

#include "Inc/ErrorHandler.h"
#include "Inc/Prefs.h"
#include "Inc/TextUtil.h"
#include "tasks/task_options.h"

namespace {

constexpr const char* kGroup = "MFLPX";

}  // namespace

Task ReadOptionDefaults(const std::string& configPath) {
  std::optional<PrefsDocument> config = PrefsDocument::Open(configPath);
  if (!config) return Task{};
  CHECKPOINT();
  config->SelectGroup(kGroup);
  Task task;
  for (const TaskOption& option : TaskOptions()) {
    if (!option.configKey) continue;
    const std::string missing = IsAddedOption(option) ? IntToText(option.initial) : "0";
    SetOptionValue(task, option, DecimalValue(config->ReadString(option.configKey, missing)));
  }
  return task;
}

void StoreOptionDefaults(const std::string& configPath, const Task& options) {
  std::optional<PrefsDocument> config = PrefsDocument::Open(configPath);
  if (!config) return;
  CHECKPOINT();
  config->SelectGroup(kGroup);
  for (const TaskOption& option : TaskOptions()) {
    if (!option.configKey) continue;
    const int32_t value = OptionValue(options, option);
    // No value holds a line end, so this default tells a missing key.
    if (IsAddedOption(option) && value == option.initial && config->ReadString(option.configKey, "\n") == "\n")
      continue;
    config->WriteString(option.configKey, IntToText(value));
  }
  config->WriteBack();
}
