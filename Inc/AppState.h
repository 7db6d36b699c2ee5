#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Inc/UiSeam.h"

class LogView;
struct MainWindowParts;
struct StringTable;
class TaskEditorDialog;
class TaskList;

// One installed interface language: display name and full path of its file.
struct LanguageRecord {
  std::string name;
  std::string file;
};

// The most conversions a batch runs at the same time, whatever the machine.
constexpr int kMostConversionsAtOnce = 16;

// The program's state, created at start-up and alive until exit; the parts
// every window reaches (the seam to the user, the log, the string table, the
// task list, the main window's widgets) live here rather than in variables of
// their own, so that two states never share any of them. The layers above
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
  UiHooks uiHooks;                                        // InstallUiHooks
  LogView* logView = nullptr;                             // AttachLogView; the activity log's lines
  std::shared_ptr<LogView> mainWindowLog;                 // AttachMainWindowLog; follows the main window's rebuilds
  std::shared_ptr<StringTable> strings;                   // LoadStringTable; none: every text is "not found"
  std::function<void(int commandId)> commandInterceptor;  // SetCommandInterceptor
  std::shared_ptr<TaskList> tasks;                        // ProgramTasks; made on first use
  std::shared_ptr<MainWindowParts> mainWindow;            // BuildMainWindow; none while no main window exists
  // Controls that the window layer adds to every task editor (the preview's
  // buttons); set by BuildMainWindow, since the editor's folder may not see it.
  std::function<void(TaskEditorDialog& editor)> editorExtension;
};

AppState& App();

// Starts the state afresh, keeping the seam to the user, which main or a test
// installs before start-up, and the main window with its task list, which
// the window layer builds and destroys.
void ResetAppState();

// Sets the program directory (ending with '/') and the encoder path below it;
// the writable files stay beside the program until start-up says otherwise.
void SetProgramDirectory(const std::string& directory);

// The directory of the running executable, ending with '/'.
std::string ExecutableDirectory();
