#include "tasks/task_editor_window.h"

#include <QMainWindow>

#include "app/main_window.h"
#include "tasks/task_editor_dialog.h"

// The modal loop keeps the main window from getting any input until the
// editor closes, by Accept, Cancel or its close box.
int OpenTaskEditor(TaskEditorMode mode) {
  const std::optional<EditorStart> start = PrepareTaskEditor(mode);
  if (!start) return 0;
  TaskEditorDialog dialog(*start, MainWindow());
  dialog.exec();
  return 1;
}
