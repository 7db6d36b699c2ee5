#pragma once

#include <string>
#include <vector>

#include "tasks/task_editor_model.h"

struct AppState;

// Runs the modal task editor over the task list of `app`; 1 when its window
// was shown, 0 when edit mode found no selected row.
int OpenTaskEditor(AppState& app, TaskEditorMode mode);

// Runs the editor in add mode with these input files already chosen.
int OpenTaskEditorWithFiles(AppState& app, const std::vector<std::string>& inputFiles);
