#pragma once

#include <string>

#include "tasks/task.h"

// The ordered task list, mirrored row for row by the task list view.
int TaskCount();
Task TaskAt(int position);

// The status cell (column 4) of row `position`; the batch driver writes only this.
std::string TaskStatusText(int position);
void SetTaskStatusText(int position, const std::string& text);

// Status bar field 1: "<rows> videos in the list."
void ShowTaskCount();

// Command handlers on the selected row; each returns 1 when it changed the list.
int RemoveSelectedTask();
int MoveSelectedTaskUp();
int MoveSelectedTaskDown();
