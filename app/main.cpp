#include <QApplication>

#include <cstdio>
#include <string>
#include <vector>

#include "Inc/AppState.h"
#include "Inc/ErrorHandler.h"
#include "app/command_line.h"
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
  InstallTerminationHandler();
  // Refused before Qt starts: without a display Qt would end the program as a crash.
  const CommandLine line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!line.error.empty()) {
    std::fprintf(stderr, "mflpx: %s\n%s\n", line.error.c_str(), kCommandLineUsage);
    UninstallCrashHandler();
    return 2;
  }
  QApplication application(argc, argv);
  // Lets the desktop match the windows to the menu entry and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("mflpx"));
  // Only confirmed quits end the program, never a window that closes.
  QApplication::setQuitOnLastWindowClosed(false);
  // The program's state, handed to every window that needs it.
  AppState app;
  InstallQtUiHooks(app);
  options.inputFiles = line.files;
  return RunProgram(app, programDirectory, options);
}
