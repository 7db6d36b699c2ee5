#pragma once

enum class TaskEditorMode { Add = 0, Edit = 1 };

// Runs the modal task editor; 1 when its window was shown, 0 when edit mode
// found no selected row.
int OpenTaskEditor(TaskEditorMode mode);
