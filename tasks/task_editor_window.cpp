#include "tasks/task_editor_window.h"

#include "tasks/task_editor_dialog.h"
#include "widgets/modal_owner.h"

namespace {

// The modal loop keeps the main window from getting any input until the
// editor closes, by Accept, Cancel or its close box.
int RunEditor(AppState& app, const std::optional<EditorStart>& start, const std::vector<std::string>& inputs = {}) {
  if (!start) return 0;
  TaskEditorDialog dialog(app, *start, ModalOwner(), inputs);
  dialog.exec();
  return 1;
}

}  // namespace

int OpenTaskEditor(AppState& app, TaskEditorMode mode) { return RunEditor(app, PrepareTaskEditor(app, mode)); }

int OpenTaskEditorWithFiles(AppState& app, const std::vector<std::string>& inputFiles) {
  return RunEditor(app, PrepareTaskEditor(app, TaskEditorMode::Add), inputFiles);
}
