#include "tasks/task_editor_model.h"

#include "Inc/ErrorHandler.h"
#include "Inc/Lang.h"
#include "Inc/TextUtil.h"
#include "app/ui_seam.h"
#include "settings/config.h"
#include "tasks/editor_paths.h"
#include "Inc/FileProbe.h"
#include "tasks/option_defaults.h"
#include "tasks/task_list.h"

namespace {

void Warn(const char* textKey) {
  ShowMessageBox(UiText("s1"), UiText(textKey), MessageIcon::Warning);
}

// The first failing check's message key, or nullptr when the paths will do.
const char* PathProblem(const Task& task) {
  if (task.InputFile.empty()) return "s39";
  if (task.OutputFile.empty()) return "s38";
  if (!IsNonEmptyFile(task.InputFile)) return "s37";
  return nullptr;
}

}  // namespace

std::optional<EditorStart> PrepareTaskEditor(TaskEditorMode mode) {
  if (mode == TaskEditorMode::Add) return EditorStart{mode, -1, ReadOptionDefaults(ConfigFilePath())};
  const int position = SelectedTaskPosition();
  if (position < 0) {
    Warn("s5");
    return std::nullopt;
  }
  return EditorStart{mode, position, TaskAt(position)};
}

std::string VolumeLabelKey(int volume) {
  if (volume == 8) return "s40";
  return volume > 8 ? "s41" : "s42";
}

std::optional<BrowsedInput> BrowseInputFile() {
  const std::string chosen = AskFileName({FileDialogKind::Open, UiText("s43"), InputFileFilter()});
  if (chosen.empty() || !IsNonEmptyFile(chosen)) return std::nullopt;
  return BrowsedInput{chosen, ProposeOutputPath(chosen)};
}

std::optional<std::string> BrowseOutputFile() {
  const std::string chosen = AskFileName({FileDialogKind::Save, UiText("s45"), kOutputFileFilter});
  if (chosen.empty()) return std::nullopt;
  const std::string path = WithAmvExtension(chosen);
  if (ProbePath(path).kind != PathKind::Missing) {
    Warn("s46");
    return std::nullopt;
  }
  return path;
}

void StoreEditorDefaults(const Task& shown) { StoreOptionDefaults(ConfigFilePath(), shown); }

bool AcceptTask(const EditorStart& start, const Task& shown) {
  CHECKPOINT();
  StoreEditorDefaults(shown);
  Task task = shown;
  task.InputFile = Trim(shown.InputFile);
  task.OutputFile = Trim(shown.OutputFile);
  if (const char* problem = PathProblem(task)) {
    Warn(problem);
    return false;
  }
  if (start.mode == TaskEditorMode::Add)
    AppendTask(task);
  else
    ReplaceTask(start.position, task);
  return true;
}
