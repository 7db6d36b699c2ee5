#pragma once

#include <string>
#include <vector>

#include "tasks/task_editor_model.h"

// Runs the modal task editor; 1 when its window was shown, 0 when edit mode
// found no selected row.
int OpenTaskEditor(TaskEditorMode mode);

// Runs the editor in add mode with these input files already chosen.
int OpenTaskEditorWithFiles(const std::vector<std::string>& inputFiles);
