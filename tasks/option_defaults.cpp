#include "tasks/option_defaults.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "Inc/ErrorHandler.h"
#include "Inc/Prefs.h"
#include "Inc/TextUtil.h"

namespace {

constexpr const char* kGroup = "MFLPX";
constexpr std::size_t kOptionCount = 12;

struct OptionKey {
  const char* key;
  int32_t highest;  // every option starts at 0
};

// In the order the keys are written, matching OptionValues.
constexpr std::array<OptionKey, kOptionCount> kOptionKeys = {{
    {"Res", 9}, {"Qual", 2}, {"Frame", 2}, {"Volume", 16},
    {"CropU", 25}, {"CropD", 25}, {"CropL", 25}, {"CropR", 25},
    {"PadU", 25}, {"PadD", 25}, {"PadL", 25}, {"PadR", 25},
}};

using OptionArray = std::array<int32_t, kOptionCount>;

OptionArray OptionValues(const Task& task) {
  return {task.Resolution, task.Quality,    task.FrameRate, task.Volume,
          task.CropTop,    task.CropBottom, task.CropLeft,  task.CropRight,
          task.PadTop,     task.PadBottom,  task.PadLeft,   task.PadRight};
}

Task TaskWithOptions(const OptionArray& values) {
  Task task;
  task.Resolution = static_cast<int8_t>(values[0]);
  task.Quality = static_cast<int8_t>(values[1]);
  task.FrameRate = static_cast<int8_t>(values[2]);
  task.Volume = values[3];
  task.CropTop = values[4];
  task.CropBottom = values[5];
  task.CropLeft = values[6];
  task.CropRight = values[7];
  task.PadTop = values[8];
  task.PadBottom = values[9];
  task.PadLeft = values[10];
  task.PadRight = values[11];
  return task;
}

OptionArray Clamped(OptionArray values) {
  for (std::size_t i = 0; i < kOptionCount; ++i)
    values[i] = std::clamp(values[i], 0, kOptionKeys[i].highest);
  return values;
}

}  // namespace

Task ReadOptionDefaults(const std::string& configPath) {
  if (!PrefsOpen(configPath)) return Task{};
  CHECKPOINT();
  PrefsSelectGroup(kGroup);
  OptionArray values{};
  for (std::size_t i = 0; i < kOptionCount; ++i)
    values[i] = DecimalValue(PrefsReadString(kOptionKeys[i].key, "0"));
  PrefsClose();
  return TaskWithOptions(Clamped(values));
}

void StoreOptionDefaults(const std::string& configPath, const Task& options) {
  if (!PrefsOpen(configPath)) return;
  CHECKPOINT();
  PrefsSelectGroup(kGroup);
  const OptionArray values = OptionValues(options);
  for (std::size_t i = 0; i < kOptionCount; ++i)
    PrefsWriteString(kOptionKeys[i].key, IntToText(values[i]));
  PrefsClose();
}
