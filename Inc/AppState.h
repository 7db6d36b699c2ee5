#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class LogView;
struct MainWindowParts;
class TaskEditorDialog;
class TaskList;

// One installed interface language: display name and full path of its file.
struct LanguageRecord {
  std::string name;
  std::string file;
};

// The most conversions a batch runs at the same time, whatever the machine.
constexpr int kMostConversionsAtOnce = 16;

// The program's state: main makes it and hands it to start-up, which hands it
// to the window builders, and they keep it. Its settings, flags, log, task
// list and main window live here rather than in variables of their own, so
// two states never share any of them; only the string table (Inc/Lang.h) and
// the seam to the user (Inc/UiSeam.h) are the process's. The layers above
// define the types held by pointer. Nothing of it is written back at exit.
struct AppState {
  std::string programDirectory;  // the executable's directory, ending with '/'
  std::string encoderPath;       // programDirectory + "Core/ffmpeg"
  std::string dataDirectory;     // where Config.ini and ErrorReport.log live, ending with '/'
  int32_t LogActions = 0;        // the activity log records lines only while this is exactly 1
  std::string languageSetting;   // full path of the chosen language file; empty = built-in English
  std::string outputFolder;      // where new tasks save their outputs; empty = beside each source
  std::vector<LanguageRecord> languages;
  std::string currentLanguageName;
  int32_t conversionsAtOnce = 1;  // encoders a batch runs at the same time
  bool ConversionRunning = false;
  bool quit = false;
  LogView* logView = nullptr;                             // AttachLogView; the activity log's lines
  std::shared_ptr<LogView> mainWindowLog;                 // AttachMainWindowLog; follows the main window's rebuilds
  std::function<void(int commandId)> commandInterceptor;  // SetCommandInterceptor
  std::shared_ptr<TaskList> tasks;                        // ProgramTasks; made on first use
  std::shared_ptr<MainWindowParts> mainWindow;            // BuildMainWindow; none while no main window exists
  // Controls that the window layer adds to every task editor (the preview's
  // buttons); set by BuildMainWindow, since the editor's folder may not see it.
  std::function<void(TaskEditorDialog& editor)> editorExtension;
};

// Starts `app` afresh, keeping its main window with its task list, which the
// window layer builds and destroys.
void ResetAppState(AppState& app);

// Sets the program directory of `app` (ending with '/') and the encoder path
// below it; the writable files stay beside the program until start-up says otherwise.
void SetProgramDirectory(AppState& app, const std::string& directory);

// The directory of the running executable, ending with '/'.
std::string ExecutableDirectory();
