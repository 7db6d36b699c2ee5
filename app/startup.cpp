#include "app/startup.h"

#include <QMainWindow>
#include <QTimer>

#include "Inc/ActivityLog.h"
#include "Inc/AppState.h"
#include "Inc/ErrorHandler.h"
#include "Inc/FileProbe.h"
#include "Inc/Lang.h"
#include "Inc/UiSeam.h"
#include "Inc/Version.h"
#include "app/activity_log_view.h"
#include "app/language_code.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/qt_translation.h"
#include "app/splash_window.h"
#include "settings/config.h"
#include "tasks/dropped_files.h"
#include "tasks/task_editor_window.h"
#include "tasks/task_options.h"
#include "widgets/builtin_images.h"

namespace {

void InitialiseState(AppState& app, const std::string& programDirectory, const std::string& dataDirectory) {
  ResetAppState(app);
  SetProgramDirectory(app, programDirectory);
  if (!dataDirectory.empty()) app.dataDirectory = dataDirectory;
  DecodeBuiltInImages();
}

int EndProgram(AppState& app) {
  DestroyMainWindow(app);
  UninstallCrashHandler();
  return 0;
}

}  // namespace

int RunProgram(AppState& app, const std::string& programDirectory, const StartupOptions& options) {
  CHECKPOINT();
  InitialiseState(app, programDirectory, options.dataDirectory);
  LoadConfiguration(app, NewConfigOptionDefaults());
  if (!DiscoverLanguages(app)) return EndProgram(app);
  LoadStringTable(app.languageSetting);
  InstallQtTranslation(ReadLanguageCode(app.languageSetting));
  ReadCurrentLanguageName(app);

  CHECKPOINT();
  // A missing file, an empty one and a folder all mean there is no encoder.
  if (!IsNonEmptyFile(app.encoderPath)) {
    ShowMessageBox(UiText("s1"), UiText("s2"), MessageIcon::Error);
    return EndProgram(app);
  }

  if (!BuildMainWindow(app)) {
    ShowMessageBox(UiText("s1"), UiText("s48"), MessageIcon::Error);
    return EndProgram(app);
  }
  // The views of the task list and the activity log attach here, to the
  // widgets the main window has just built.
  AttachMainWindowLog(app);
  AttachTaskListWidget(app);

  ShowSplashWindow(options.splashWait, options.splashSleep);

  CHECKPOINT();
  MainWindow(app)->showNormal();
  AddLogLine(app, std::string(kProductTitle) + " " + UiText("s98"));
  AddLogLine(app, UiText("s99"));
  // An installed program keeps its settings elsewhere; say where, since the
  // program's own folder is where a user would look first.
  if (app.dataDirectory != app.programDirectory) AddLogLine(app, UiText("s125", {app.dataDirectory}));
  SetTaskColumnWidths(app);
  if (!options.inputFiles.empty()) {
    QTimer::singleShot(0, MainWindow(app), [&app, files = ExpandInputPaths(options.inputFiles)] {
      if (!files.empty())
        OpenTaskEditorWithFiles(app, files);
      else  // only folders without a video were named
        ShowMessageBox(UiText("s106"), UiText("s146"), MessageIcon::Information);
    });
  }

  RunMainLoop(app);
  return EndProgram(app);
}
