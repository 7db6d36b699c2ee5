#include "tasks/task_labels.h"

#include <span>

#include "Inc/Lang.h"

namespace {

struct SizeChoice {
  const char* size;  // the label; the editor entry adds a space and the hint
  const char* hintKey;
};

constexpr SizeChoice kResolutions[kResolutionCount] = {
    {"96 x 64", "s22"},   {"128 x 96", "s23"},  {"128 x 128", "s24"}, {"160 x 120", "s25"},
    {"176 x 128", "s26"}, {"176 x 144", "s27"}, {"192 x 160", "s27"}, {"208 x 120", "s28"},
    {"208 x 160", "s28"}, {"208 x 176", "s28"},
};

constexpr const char* kQualityLabels[kQualityCount] = {"High", "Medium", "Low"};
constexpr const char* kQualityKeys[kQualityCount] = {"s29", "s30", "s31"};

constexpr SizeChoice kFrameRates[kFrameRateCount] = {
    {"10 FPS", "s32"}, {"12 FPS", "s33"}, {"16 FPS", "s34"}};

std::vector<std::string> Entries(std::span<const SizeChoice> choices) {
  std::vector<std::string> entries;
  for (const SizeChoice& choice : choices)
    entries.push_back(std::string(choice.size) + " " + UiText(choice.hintKey));
  return entries;
}

}  // namespace

std::string ResolutionLabel(int resolution) {
  if (resolution < 0 || resolution >= kResolutionCount) return {};
  return kResolutions[resolution].size;
}

std::string QualityLabel(int quality) {
  if (quality < 0 || quality >= kQualityCount) return {};
  return kQualityLabels[quality];
}

TaskRow TaskRowTexts(const Task& task, const std::string& statusText) {
  return {task.InputFile, task.OutputFile, ResolutionLabel(task.Resolution),
          QualityLabel(task.Quality), statusText};
}

std::vector<std::string> ResolutionEntries() { return Entries(kResolutions); }

std::vector<std::string> QualityEntries() {
  std::vector<std::string> entries;
  for (const char* key : kQualityKeys) entries.push_back(UiText(key));
  return entries;
}

std::vector<std::string> FrameRateEntries() { return Entries(kFrameRates); }
