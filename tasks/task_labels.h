#pragma once

#include <string>
#include <vector>

#include "Inc/AmvFormats.h"
#include "tasks/task.h"
#include "tasks/task_list_view.h"

// The labels of a task's options: the short ones of the task list view and
// the entries of the task editor's drop-down lists.

constexpr int kResolutionCount = static_cast<int>(kAmvFrameSizes.size());
constexpr int kQualityCount = 3;
constexpr int kFrameRateCount = static_cast<int>(kAmvFrameRates.size());

// "192 x 160" for 6; empty outside 0..9.
std::string ResolutionLabel(int resolution);
// "High", "Medium", "Low" in every interface language; empty outside 0..2.
std::string QualityLabel(int quality);

// The cells of a task's row in column order.
TaskRow TaskRowTexts(const Task& task, const std::string& statusText);

// Drop-down entries in index order, from the string table in force.
std::vector<std::string> ResolutionEntries();
std::vector<std::string> QualityEntries();
std::vector<std::string> FrameRateEntries();
