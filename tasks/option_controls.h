#pragma once

#include <string>

#include "tasks/task_options.h"

class QWidget;

// The value an editor control of this kind shows, and showing one: the
// selected entry of a drop-down list, the position of a track bar, the number
// of a spin box, 1 for a ticked check box.
int32_t ControlValue(const QWidget& control, OptionControl kind);
void ShowControlValue(QWidget& control, OptionControl kind, int32_t value);

// A text option's control: the text the selected entry of a track list
// carries, or the line typed into a time field less surrounding spaces; and
// showing one. A track list that offers no entry for the text gets one,
// named by the text, so that a choice the list has not been filled with yet
// is kept.
std::string ControlText(const QWidget& control, OptionControl kind);
void ShowControlText(QWidget& control, OptionControl kind, const std::string& text);

// The range of values a track bar or spin box offers; a drop-down list's
// entries are its range, a check box's is 0 and 1.
void LimitControl(QWidget& control, OptionControl kind, int32_t lowest, int32_t highest);
