#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "settings/config.h"
#include "tasks/task.h"

// Every per-task option, described once: its field in Task, how Config.ini
// remembers it, the values it may take, the editor control that shows it, how
// the row's tool tip names it and what it puts on the encoder's line. The
// option defaults, the editor, the tool tip and the argument line all read
// this table, so a new option is one entry here, its field in Task, its
// control in the editor and its meaning in the encoder.

// TrackList is a drop-down list whose entries carry the option's text (the
// source's tracks); TimeField a line the user types a moment into.
enum class OptionControl { DropDown, TrackBar, SpinBox, CheckBox, TrackList, TimeField };

// Where an option's arguments stand on the encoder's line, in line order.
// Added holds the options beyond the classic twelve, just before the output
// path: they go on the line, into the row's tool tip and into Config.ini only
// once they differ from their initial value, so that a task or a user that
// never changes them sees the classic line and file byte for byte.
enum class ArgumentPlace { Volume, Crop, Pad, FrameSize, FrameRate, Quantiser, Added };

// A text option (a track, a moment) starts empty and holds what the user chose.
using OptionField = std::variant<bool Task::*, int8_t Task::*, int32_t Task::*, std::string Task::*>;

struct TaskOption {
  const char* name;  // as the Task field is named
  OptionField field;
  // In group MFLPX; null for an option that belongs to one source alone
  // (which of its tracks, which part of it), so no next task inherits it.
  const char* configKey;
  int32_t initial;  // a new Config.ini's value, and the editor's without one
  int32_t lowest;
  int32_t highest;
  OptionControl control;
  // The row's tool tip: options with the same label share a line, each value
  // after its mark (the arrows of the crop and pad pictures).
  const char* labelKey;
  const char* mark;
  ArgumentPlace place;
  std::vector<std::string> (*arguments)(int32_t value);
  std::string (*shown)(int32_t value);
  // A text option's, in place of the two above.
  std::vector<std::string> (*textArguments)(const std::string& value) = nullptr;
  std::string (*textShown)(const std::string& value) = nullptr;
};

// In the order Config.ini lists the keys.
std::span<const TaskOption> TaskOptions();

// A number option's value (0 for a text option) and setting it, brought
// into lowest..highest (nothing changes for a text option).
int32_t OptionValue(const Task& task, const TaskOption& option);
void SetOptionValue(Task& task, const TaskOption& option, int32_t value);

bool IsTextOption(const TaskOption& option);
// A text option's text, a number option's decimal text; and setting either
// from such a text.
std::string OptionText(const Task& task, const TaskOption& option);
void SetOptionText(Task& task, const TaskOption& option, const std::string& text);

// Whether the option still holds its initial value (a text option: empty).
bool HasInitialValue(const Task& task, const TaskOption& option);

// Whether the option is one of those beyond the classic twelve (see ArgumentPlace::Added).
bool IsAddedOption(const TaskOption& option);

// The keys and values a new Config.ini starts its MFLPX group with: the
// classic ones, as a missing key reads as its initial value.
std::vector<ConfigEntry> NewConfigOptionDefaults();

// The task's encoder arguments of one place, in table order.
std::vector<std::string> OptionArguments(const Task& task, ArgumentPlace place);

// Every option of the task, a line per label, for the row's tool tip.
std::string OptionSummary(const Task& task);
