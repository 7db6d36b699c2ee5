#include "tasks/task_editor_window.h"

// Placeholder: replaced by the task editor work.
int OpenTaskEditor(TaskEditorMode) { return 0; }
