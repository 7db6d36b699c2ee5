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

// Command handlers on the selected rows; each returns 1 when it changed the
// list. Remove takes every selected row, the moves the first of them.
int RemoveSelectedTask();
// Removes the tasks whose rows show "Converted!" (s61), selected or not.
int RemoveFinishedTasks();
int MoveSelectedTaskUp();
int MoveSelectedTaskDown();

// The task editor's side. AppendTask adds the task and a row showing "Waiting";
// ReplaceTask rewrites the task and its row (status s35), leaving its
// selection as it was. Both then show the count.
void AppendTask(const Task& task);
void ReplaceTask(int position, const Task& task);

// The position of the selected row, -1 when none is selected.
int SelectedTaskPosition();

// Empties the list and the view without touching the status bar; tests
// start from here.
void ClearTaskList();
