#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tasks/task.h"

// What the task editor does, apart from its window. The window holds the
// state in its controls and hands it over as a Task "as shown": the path
// fields as typed and the options of the lists, track bar and spin boxes.

enum class TaskEditorMode { Add = 0, Edit = 1 };

struct AppState;

struct EditorStart {
  TaskEditorMode mode = TaskEditorMode::Add;
  int position = -1;  // the task being edited; -1 in add mode
  Task shown;         // what the controls start from
};

// Add mode starts from the option defaults in Config.ini. Edit mode starts
// from the selected task; without a selection it tells the user (s5) and
// gives nothing.
std::optional<EditorStart> PrepareTaskEditor(AppState& app, TaskEditorMode mode);

// The volume label's key once the track bar has moved to `volume`.
std::string VolumeLabelKey(int volume);

struct BrowsedInput {
  std::string inputFile;
  std::string proposedOutput;
};

// Asks for an input video, its output proposed in outputFolder (empty:
// beside it). Nothing when the dialog is cancelled or the choice is not a
// file of at least one byte.
std::optional<BrowsedInput> BrowseInputFile(const std::string& outputFolder);

// Add mode's Browse: asks for one or more input videos. Nothing when the
// dialog is cancelled or its only choice is not a file of at least one byte;
// several files are all kept, to be checked at Accept.
std::optional<std::vector<std::string>> BrowseInputFiles();

// What a path field shows for count files: the first, and "(+N more)" when
// there are others.
std::string SeveralFilesText(const std::string& first, std::size_t count);

// Asks for an output file, ending in ".amv". Nothing when the dialog is
// cancelled or something already exists there (the user is told, s46).
std::optional<std::string> BrowseOutputFile();

// Cancel: the options shown become the defaults for the next new task.
void StoreEditorDefaults(const AppState& app, const Task& shown);

// Accept: stores the options of `remembered` as the defaults first (the ones
// shown, but for numbers that belong to the input alone), then checks the
// paths less surrounding spaces (s39, s38, s37, s178 for an output another
// task of the list saves to, s46 for a folder there, s187 and s189 for an
// output in add mode's outputFolder when that folder is missing or cannot be
// written to, telling the user of the first that fails), then the part From
// and To name, within the source's `durationSeconds` when known (else below
// 0). An output file that exists is kept only when the user agrees to replace
// it once the task's new file is complete. Then hands the task to the list.
// True when the editor may close.
bool AcceptTask(AppState& app, const EditorStart& start, const Task& shown, const Task& remembered,
                const std::string& outputFolder, double durationSeconds = -1);

// Accept with several input files: stores `remembered` as the defaults, then
// adds one task per file, in order, with the options shown and the output
// proposed from its input in outputFolder (empty: beside it). A folder that
// is missing or cannot be written to adds nothing and tells the user (s187,
// s189). Files that are not files of at least one byte, or whose output
// another task of the list or an earlier file has (two sources of one name
// into one folder among them), are skipped and listed in one message after
// the others are added. When outputs exist the user is asked once: replace
// them, skip those files, or add nothing. A From or To that cannot be read,
// or out of order, adds nothing. True when at least one task was added.
bool AcceptTasks(AppState& app, const Task& shown, const std::vector<std::string>& inputs, const Task& remembered,
                 const std::string& outputFolder);
