#include <QApplication>

#include "Inc/ErrorHandler.h"
#include "app/app_state.h"
#include "app/data_directory.h"
#include "app/qt_ui_hooks.h"
#include "app/startup.h"

int main(int argc, char** argv) {
  // Decided once, first, because the crash handler needs it for its report.
  const std::string programDirectory = ExecutableDirectory();
  StartupOptions options;
  options.dataDirectory = ChooseDataDirectory(programDirectory);
  // Before anything else, so that even a fault inside Qt's start is reported.
  CrashHandlerSettings crashSettings;
  crashSettings.reportDirectory = options.dataDirectory;
  InstallCrashHandler(crashSettings);
  QApplication application(argc, argv);
  // Lets the desktop match the windows to the menu entry and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("mflpx"));
  // Only confirmed quits end the program, never a window that closes.
  QApplication::setQuitOnLastWindowClosed(false);
  InstallQtUiHooks();
  return RunProgram(programDirectory, options);
}
