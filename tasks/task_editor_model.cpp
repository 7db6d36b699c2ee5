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
#include "tasks/output_clash.h"
#include "tasks/part_check.h"
#include "tasks/path_list_text.h"
#include "tasks/task_list.h"

namespace {

void Warn(const char* textKey) {
  ShowMessageBox(UiText("s1"), UiText(textKey), MessageIcon::Warning);
}

// Tells the user why the task's part cannot be converted; false then.
bool PartConvertible(const Task& task, double durationSeconds) {
  const std::string problem = PartProblem(task.From, task.To, durationSeconds);
  if (!problem.empty()) ShowMessageBox(UiText("s1"), problem, MessageIcon::Warning);
  return problem.empty();
}

// The first failing check's message key, or nullptr when the paths will do.
// An output file that exists is not refused here: Accept asks about it.
const char* PathProblem(const TaskList& tasks, const Task& task, int position) {
  if (task.InputFile.empty()) return "s39";
  if (task.OutputFile.empty()) return "s38";
  if (!IsNonEmptyFile(task.InputFile)) return "s37";
  if (TaskOutputKeys(tasks, position).contains(OutputFileKey(task.OutputFile))) return "s178";
  // A folder cannot be replaced by a file.
  if (ProbePath(task.OutputFile).kind == PathKind::Folder) return "s46";
  return nullptr;
}

// Outputs are never sent quietly elsewhere: the user chooses another folder.
bool RefuseUnusableFolder(const std::string& folder) {
  if (IsUsableOutputFolder(folder)) return false;
  ShowMessageBox(UiText("s1"), PathListText("s187", {folder}) + "\n\n" + UiText("s189"), MessageIcon::Warning);
  return true;
}

bool OutputExists(const std::string& output) { return ProbePath(output).kind != PathKind::Missing; }

// An existing output is replaced only when the user says so, and only once
// the task's new file is complete.
bool AgreeToReplace(const std::string& output) {
  return ShowMessageBox(UiText("s57"), PathListText("s175", {output}) + "\n\n" + UiText("s176"),
                        MessageIcon::Question, MessageButtons::YesNo) == MessageAnswer::Yes;
}

}  // namespace

std::optional<EditorStart> PrepareTaskEditor(AppState& app, TaskEditorMode mode) {
  if (mode == TaskEditorMode::Add) return EditorStart{mode, -1, ReadOptionDefaults(ConfigFilePath(app))};
  const TaskList& tasks = ProgramTasks(app);
  const int position = tasks.SelectedPosition();
  if (position < 0) {
    Warn("s5");
    return std::nullopt;
  }
  return EditorStart{mode, position, tasks.At(position)};
}

std::string VolumeLabelKey(int volume) {
  if (volume == 8) return "s40";
  return volume > 8 ? "s41" : "s42";
}

std::optional<BrowsedInput> BrowseInputFile(const std::string& outputFolder) {
  const std::string chosen = AskFileName({FileDialogKind::Open, UiText("s43"), InputFileFilter()});
  if (chosen.empty() || !IsNonEmptyFile(chosen)) return std::nullopt;
  return BrowsedInput{chosen, ProposeOutputPath(chosen, outputFolder)};
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

void StoreEditorDefaults(const AppState& app, const Task& shown) { StoreOptionDefaults(ConfigFilePath(app), shown); }

bool AcceptTask(AppState& app, const EditorStart& start, const Task& shown, const Task& remembered,
                const std::string& outputFolder, double durationSeconds) {
  CHECKPOINT();
  StoreEditorDefaults(app, remembered);
  TaskList& list = ProgramTasks(app);
  Task task = shown;
  task.InputFile = Trim(shown.InputFile);
  task.OutputFile = Trim(shown.OutputFile);
  if (const char* problem = PathProblem(list, task, start.position)) {
    Warn(problem);
    return false;
  }
  if (!PartConvertible(task, durationSeconds)) return false;
  if (start.mode == TaskEditorMode::Add && !outputFolder.empty() && IsInFolder(task.OutputFile, outputFolder) &&
      RefuseUnusableFolder(outputFolder))
    return false;
  if (OutputExists(task.OutputFile)) {
    if (!AgreeToReplace(task.OutputFile)) return false;
    task.replaceOutput = true;
  }
  if (start.mode == TaskEditorMode::Add)
    list.Append(task);
  else
    list.Replace(start.position, task);
  return true;
}

bool AcceptTasks(AppState& app, const Task& shown, const std::vector<std::string>& inputs, const Task& remembered,
                 const std::string& outputFolder) {
  CHECKPOINT();
  StoreEditorDefaults(app, remembered);
  if (!PartConvertible(shown, -1)) return false;
  TaskList& list = ProgramTasks(app);
  if (!outputFolder.empty() && RefuseUnusableFolder(outputFolder)) return false;
  std::vector<std::string> unusable;
  std::vector<std::string> clashing;
  std::vector<std::string> existing;
  std::vector<Task> tasks;
  // clip.mp4 and clip.mkv propose the same output, as do a/clip.mp4 and
  // b/clip.mp4 into one folder, or a task already listed.
  std::set<std::string> taken = TaskOutputKeys(list, -1);
  for (const std::string& input : inputs) {
    Task task = shown;
    task.InputFile = input;
    task.OutputFile = ProposeOutputPath(input, outputFolder);
    if (!IsNonEmptyFile(input)) {
      unusable.push_back(input);
    } else if (!taken.insert(OutputFileKey(task.OutputFile)).second) {
      clashing.push_back(task.OutputFile);
    } else {
      if (OutputExists(task.OutputFile)) existing.push_back(task.OutputFile);
      tasks.push_back(task);
    }
  }
  MessageAnswer existingAnswer = MessageAnswer::Replace;
  if (!existing.empty()) {
    existingAnswer = ShowMessageBox(UiText("s57"), PathListText("s172", existing) + "\n\n" + UiText("s177"),
                                    MessageIcon::Question, MessageButtons::ReplaceSkipCancel);
    if (existingAnswer != MessageAnswer::Replace && existingAnswer != MessageAnswer::Skip) return false;
  }
  int added = 0;
  for (Task& task : tasks) {
    if (OutputExists(task.OutputFile)) {
      if (existingAnswer == MessageAnswer::Skip) continue;
      task.replaceOutput = true;
    }
    list.Append(task);
    ++added;
  }
  std::string skipped;
  if (!clashing.empty()) skipped = PathListText("s179", clashing);
  if (!unusable.empty()) skipped += (skipped.empty() ? "" : "\n\n") + PathListText("s37", unusable);
  if (!skipped.empty()) ShowMessageBox(UiText("s1"), skipped, MessageIcon::Warning);
  return added > 0;
}
