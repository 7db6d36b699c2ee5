#include "tasks/task_editor_model.h"

#include <set>

#include "Inc/ErrorHandler.h"
#include "Inc/FileProbe.h"
#include "Inc/Lang.h"
#include "Inc/TextUtil.h"
#include "Inc/UiSeam.h"
#include "settings/config.h"
#include "tasks/editor_paths.h"
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
  // Caught here rather than at Start, where the encoder would refuse it.
  if (ProbePath(task.OutputFile).kind != PathKind::Missing) return "s46";
  return nullptr;
}

// A message paragraph: the text of key, then one path a line.
std::string PathList(const char* key, const std::vector<std::string>& paths) {
  std::string text = UiText(key);
  for (const std::string& path : paths) text += "\n" + path;
  return text;
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

std::optional<std::vector<std::string>> BrowseInputFiles() {
  FileDialogRequest request{FileDialogKind::Open, UiText("s43"), InputFileFilter()};
  std::vector<std::string> chosen = AskFileNames(request);
  if (chosen.empty() || (chosen.size() == 1 && !IsNonEmptyFile(chosen[0]))) return std::nullopt;
  return chosen;
}

std::string SeveralFilesText(const std::string& first, std::size_t count) {
  if (count < 2) return first;
  return UiText("s122", {first, IntToText(static_cast<long long>(count - 1))});
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

bool AcceptTasks(const Task& shown, const std::vector<std::string>& inputs) {
  CHECKPOINT();
  StoreEditorDefaults(shown);
  std::vector<std::string> unusable;
  std::vector<std::string> existing;
  // clip.mp4 and clip.mkv propose the same output; the second would find it
  // existing when its turn comes.
  std::set<std::string> proposed;
  int added = 0;
  for (const std::string& input : inputs) {
    Task task = shown;
    task.InputFile = input;
    task.OutputFile = ProposeOutputPath(input);
    if (!IsNonEmptyFile(input)) {
      unusable.push_back(input);
    } else if (ProbePath(task.OutputFile).kind != PathKind::Missing ||
               !proposed.insert(task.OutputFile).second) {
      existing.push_back(task.OutputFile);
    } else {
      AppendTask(task);
      ++added;
    }
  }
  std::string skipped;
  if (!existing.empty()) skipped = PathList("s46", existing);
  if (!unusable.empty()) skipped += (skipped.empty() ? "" : "\n\n") + PathList("s37", unusable);
  if (!skipped.empty()) ShowMessageBox(UiText("s1"), skipped, MessageIcon::Warning);
  return added > 0;
}
