#pragma once

#include <optional>
#include <string>

#include "tasks/task.h"

// What the task editor does, apart from its window. The window holds the
// state in its controls and hands it over as a Task "as shown": the path
// fields as typed and the options of the lists, track bar and spin boxes.

enum class TaskEditorMode { Add = 0, Edit = 1 };

struct EditorStart {
  TaskEditorMode mode = TaskEditorMode::Add;
  int position = -1;  // the task being edited; -1 in add mode
  Task shown;         // what the controls start from
};

// Add mode starts from the option defaults in Config.ini. Edit mode starts
// from the selected task; without a selection it tells the user (s5) and
// gives nothing.
std::optional<EditorStart> PrepareTaskEditor(TaskEditorMode mode);

// The volume label's key once the track bar has moved to `volume`.
std::string VolumeLabelKey(int volume);

struct BrowsedInput {
  std::string inputFile;
  std::string proposedOutput;
};

// Asks for an input video. Nothing when the dialog is cancelled or the choice
// is not a file of at least one byte.
std::optional<BrowsedInput> BrowseInputFile();

// Asks for an output file, ending in ".amv". Nothing when the dialog is
// cancelled or something already exists there (the user is told, s46).
std::optional<std::string> BrowseOutputFile();

// Cancel: the options shown become the defaults for the next new task.
void StoreEditorDefaults(const Task& shown);

// Accept: stores the defaults first, then checks the paths less surrounding
// spaces (s39, s38, s37, telling the user of the first that fails) and hands
// the task to the list. True when the editor may close.
bool AcceptTask(const EditorStart& start, const Task& shown);
