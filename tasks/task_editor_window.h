#pragma once

#include "tasks/task_editor_model.h"

// Runs the modal task editor; 1 when its window was shown, 0 when edit mode
// found no selected row.
int OpenTaskEditor(TaskEditorMode mode);
