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

void InitialiseState(const std::string& programDirectory, const std::string& dataDirectory) {
  ResetAppState();
  SetProgramDirectory(programDirectory);
  if (!dataDirectory.empty()) App().dataDirectory = dataDirectory;
  DecodeBuiltInImages();
}

int EndProgram() {
  DestroyMainWindow(App());
  UninstallCrashHandler();
  return 0;
}

}  // namespace

int RunProgram(const std::string& programDirectory, const StartupOptions& options) {
  CHECKPOINT();
  InitialiseState(programDirectory, options.dataDirectory);
  LoadConfiguration(NewConfigOptionDefaults());
  if (!DiscoverLanguages()) return EndProgram();
  LoadStringTable(App().languageSetting);
  InstallQtTranslation(ReadLanguageCode(App().languageSetting));
  ReadCurrentLanguageName();

  CHECKPOINT();
  // A missing file, an empty one and a folder all mean there is no encoder.
  if (!IsNonEmptyFile(App().encoderPath)) {
    ShowMessageBox(UiText("s1"), UiText("s2"), MessageIcon::Error);
    return EndProgram();
  }

  if (!BuildMainWindow(App())) {
    ShowMessageBox(UiText("s1"), UiText("s48"), MessageIcon::Error);
    return EndProgram();
  }
  // The views of the task list and the activity log attach here, to the
  // widgets the main window has just built.
  AttachMainWindowLog();
  AttachTaskListWidget();

  ShowSplashWindow(options.splashWait, options.splashSleep);

  CHECKPOINT();
  MainWindow()->showNormal();
  AddLogLine(std::string(kProductTitle) + " " + UiText("s98"));
  AddLogLine(UiText("s99"));
  // An installed program keeps its settings elsewhere; say where, since the
  // program's own folder is where a user would look first.
  if (App().dataDirectory != App().programDirectory) AddLogLine(UiText("s125", {App().dataDirectory}));
  SetTaskColumnWidths();
  if (!options.inputFiles.empty()) {
    QTimer::singleShot(0, MainWindow(), [files = ExpandInputPaths(options.inputFiles)] {
      if (!files.empty())
        OpenTaskEditorWithFiles(files);
      else  // only folders without a video were named
        ShowMessageBox(UiText("s106"), UiText("s146"), MessageIcon::Information);
    });
  }

  RunMainLoop();
  return EndProgram();
}
