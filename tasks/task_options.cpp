#include "tasks/task_options.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <type_traits>

#include "Inc/AmvFormats.h"
#include "Inc/Lang.h"
#include "Inc/TextUtil.h"
#include "tasks/picture_fit.h"
#include "tasks/task_labels.h"

namespace {

struct QuantiserRange {
  const char* low;
  const char* high;
};
constexpr std::array<QuantiserRange, 3> kQuantisers = {{{"3", "4"}, {"3", "5"}, {"5", "6"}}};

// Index 8 is the encoder's unchanged level.
constexpr std::array<int32_t, 17> kVolumeLevels = {1,   2,   4,   8,    16,   32,   64,   128, 256,
                                                   384, 512, 768, 1024, 1280, 1536, 1792, 2048};
constexpr int32_t kUnchangedLevel = 256;

// An index outside its table uses the nearest entry.
template <typename Table>
const auto& Entry(const Table& table, int32_t index) {
  return table[static_cast<std::size_t>(std::clamp<int32_t>(index, 0, static_cast<int32_t>(table.size()) - 1))];
}

std::vector<std::string> FrameSizeArguments(int32_t value) {
  const AmvFrameSize& size = Entry(kAmvFrameSizes, value);
  return {"-s", IntToText(size.width) + "x" + IntToText(size.height)};
}

std::vector<std::string> FrameRateArguments(int32_t value) { return {"-r", IntToText(Entry(kAmvFrameRates, value))}; }

std::vector<std::string> QuantiserArguments(int32_t value) {
  const QuantiserRange& range = Entry(kQuantisers, value);
  return {"-qmin", range.low, "-qmax", range.high};
}

std::vector<std::string> VolumeArguments(int32_t value) { return {"-vol", IntToText(Entry(kVolumeLevels, value))}; }

// Crop and pad values go on the line unchanged, whatever their range.
template <const char* kOption>
std::vector<std::string> PixelArguments(int32_t value) {
  return {kOption, IntToText(value)};
}

constexpr char kCropTop[] = "-croptop";
constexpr char kCropBottom[] = "-cropbottom";
constexpr char kCropLeft[] = "-cropleft";
constexpr char kCropRight[] = "-cropright";
constexpr char kPadTop[] = "-padtop";
constexpr char kPadBottom[] = "-padbottom";
constexpr char kPadLeft[] = "-padleft";
constexpr char kPadRight[] = "-padright";

std::string ShownResolution(int32_t value) { return ResolutionLabel(value); }

std::string ShownQuality(int32_t value) {
  const std::vector<std::string> entries = QualityEntries();
  return Entry(entries, value);
}

std::string ShownFrameRate(int32_t value) { return IntToText(Entry(kAmvFrameRates, value)) + " FPS"; }

// The level the encoder applies, as a percentage of the source's.
std::string ShownVolume(int32_t value) {
  return OneDecimalText(100.0 * Entry(kVolumeLevels, value) / kUnchangedLevel) + "%";
}

std::string ShownPixels(int32_t value) { return IntToText(value); }

// Shown only when ticked.
std::string ShownTicked(int32_t) { return UiText("s161"); }

std::vector<std::string> KeepProportionsArguments(int32_t value) { return {"-keepaspect", IntToText(value)}; }

template <const char* kOption>
std::vector<std::string> TextArguments(const std::string& value) {
  return {kOption, value};
}

constexpr char kSound[] = "-sound";
constexpr char kSubtitles[] = "-subs";
constexpr char kSubtitleFile[] = "-subfile";
constexpr char kFrom[] = "-ss";
constexpr char kTo[] = "-to";

// A track number, or a language as the file tags it.
std::string ShownTrack(const std::string& value) {
  const bool number = !value.empty() && value.find_first_not_of("0123456789") == std::string::npos;
  return number ? UiText("s221", {value}) : value;
}

// A path (it holds a folder) names a file; else a track or a language.
bool IsSubtitleFile(const std::string& value) { return value.find('/') != std::string::npos; }

std::vector<std::string> SubtitleArguments(const std::string& value) {
  return IsSubtitleFile(value) ? TextArguments<kSubtitleFile>(value) : TextArguments<kSubtitles>(value);
}

std::string ShownSubtitles(const std::string& value) {
  return IsSubtitleFile(value) ? value.substr(value.rfind('/') + 1) : ShownTrack(value);
}

std::string ShownFrom(const std::string& value) { return UiText("s219", {value}); }
std::string ShownTo(const std::string& value) { return UiText("s220", {value}); }

using enum OptionControl;
using enum ArgumentPlace;

// clang-format off
const TaskOption kTaskOptions[] = {
    {"Resolution", &Task::Resolution, "Res",    0, 0, kResolutionCount - 1, DropDown, "s14", "", FrameSize, FrameSizeArguments, ShownResolution},
    {"Quality",    &Task::Quality,    "Qual",   0, 0, kQualityCount - 1,    DropDown, "s15", "", Quantiser, QuantiserArguments, ShownQuality},
    {"FrameRate",  &Task::FrameRate,  "Frame",  0, 0, kFrameRateCount - 1,  DropDown, "s16", "", FrameRate, FrameRateArguments, ShownFrameRate},
    {"Volume",     &Task::Volume,     "Volume", 8, 0, 16,                   TrackBar, "s18", "", Volume,    VolumeArguments,    ShownVolume},
    {"CropTop",    &Task::CropTop,    "CropU",  0, 0, kMostBandPixels, SpinBox, "s20", "\u2191", Crop, PixelArguments<kCropTop>,    ShownPixels},
    {"CropBottom", &Task::CropBottom, "CropD",  0, 0, kMostBandPixels, SpinBox, "s20", "\u2193", Crop, PixelArguments<kCropBottom>, ShownPixels},
    {"CropLeft",   &Task::CropLeft,   "CropL",  0, 0, kMostBandPixels, SpinBox, "s20", "\u2190", Crop, PixelArguments<kCropLeft>,   ShownPixels},
    {"CropRight",  &Task::CropRight,  "CropR",  0, 0, kMostBandPixels, SpinBox, "s20", "\u2192", Crop, PixelArguments<kCropRight>,  ShownPixels},
    {"PadTop",     &Task::PadTop,     "PadU",   0, 0, kMostBandPixels, SpinBox, "s21", "\u2191", Pad,  PixelArguments<kPadTop>,     ShownPixels},
    {"PadBottom",  &Task::PadBottom,  "PadD",   0, 0, kMostBandPixels, SpinBox, "s21", "\u2193", Pad,  PixelArguments<kPadBottom>,  ShownPixels},
    {"PadLeft",    &Task::PadLeft,    "PadL",   0, 0, kMostBandPixels, SpinBox, "s21", "\u2190", Pad,  PixelArguments<kPadLeft>,    ShownPixels},
    {"PadRight",   &Task::PadRight,   "PadR",   0, 0, kMostBandPixels, SpinBox, "s21", "\u2192", Pad,  PixelArguments<kPadRight>,   ShownPixels},
    {"KeepProportions", &Task::KeepProportions, "KeepProp", 0, 0, 1, CheckBox, "s160", "", Added, KeepProportionsArguments, ShownTicked},
    {"Sound", &Task::Sound, nullptr, 0, 0, 0, TrackList, "s216", "", Added, nullptr, nullptr, TextArguments<kSound>, ShownTrack},
    {"Subtitles", &Task::Subtitles, nullptr, 0, 0, 0, TrackList, "s217", "", Added, nullptr, nullptr, SubtitleArguments, ShownSubtitles},
    {"From",  &Task::From,  nullptr, 0, 0, 0, TimeField, "s218", "", Added, nullptr, nullptr, TextArguments<kFrom>, ShownFrom},
    {"To",    &Task::To,    nullptr, 0, 0, 0, TimeField, "s218", "", Added, nullptr, nullptr, TextArguments<kTo>,   ShownTo},
};
// clang-format on

}  // namespace

std::span<const TaskOption> TaskOptions() { return kTaskOptions; }

int32_t OptionValue(const Task& task, const TaskOption& option) {
  return std::visit(
      [&task](auto member) -> int32_t {
        if constexpr (std::is_same_v<decltype(member), std::string Task::*>)
          return 0;
        else
          return static_cast<int32_t>(task.*member);
      },
      option.field);
}

void SetOptionValue(Task& task, const TaskOption& option, int32_t value) {
  const int32_t inRange = std::clamp(value, option.lowest, option.highest);
  std::visit(
      [&task, inRange](auto member) {
        using Value = std::remove_reference_t<decltype(task.*member)>;
        if constexpr (!std::is_same_v<Value, std::string>) task.*member = static_cast<Value>(inRange);
      },
      option.field);
}

bool IsTextOption(const TaskOption& option) { return std::holds_alternative<std::string Task::*>(option.field); }

std::string OptionText(const Task& task, const TaskOption& option) {
  if (IsTextOption(option)) return task.*std::get<std::string Task::*>(option.field);
  return IntToText(OptionValue(task, option));
}

void SetOptionText(Task& task, const TaskOption& option, const std::string& text) {
  if (IsTextOption(option))
    task.*std::get<std::string Task::*>(option.field) = text;
  else
    SetOptionValue(task, option, DecimalValue(text));
}

bool HasInitialValue(const Task& task, const TaskOption& option) {
  return IsTextOption(option) ? OptionText(task, option).empty() : OptionValue(task, option) == option.initial;
}

bool IsAddedOption(const TaskOption& option) { return option.place == ArgumentPlace::Added; }

std::vector<ConfigEntry> NewConfigOptionDefaults() {
  std::vector<ConfigEntry> entries;
  for (const TaskOption& option : TaskOptions())
    if (!IsAddedOption(option)) entries.push_back({option.configKey, IntToText(option.initial)});
  return entries;
}

std::vector<std::string> OptionArguments(const Task& task, ArgumentPlace place) {
  std::vector<std::string> arguments;
  for (const TaskOption& option : TaskOptions()) {
    if (option.place != place || (IsAddedOption(option) && HasInitialValue(task, option))) continue;
    const std::vector<std::string> own = IsTextOption(option) ? option.textArguments(OptionText(task, option))
                                                              : option.arguments(OptionValue(task, option));
    arguments.insert(arguments.end(), own.begin(), own.end());
  }
  return arguments;
}

std::string OptionSummary(const Task& task) {
  std::string summary;
  std::string_view lineLabel;
  for (const TaskOption& option : TaskOptions()) {
    if (IsAddedOption(option) && HasInitialValue(task, option)) continue;
    if (lineLabel != option.labelKey) {
      if (!lineLabel.empty()) summary += "\n";
      summary += UiText(option.labelKey) + ":";
      lineLabel = option.labelKey;
    }
    summary +=
        std::string(" ") + option.mark +
        (IsTextOption(option) ? option.textShown(OptionText(task, option)) : option.shown(OptionValue(task, option)));
  }
  return summary;
}
