#include <QApplication>

#include "Inc/ErrorHandler.h"
#include "app/app_state.h"
#include "app/qt_ui_hooks.h"
#include "app/startup.h"

int main(int argc, char** argv) {
  // Before anything else, so that even a fault inside Qt's start is reported.
  InstallCrashHandler();
  QApplication application(argc, argv);
  // Only confirmed quits end the program, never a window that closes.
  QApplication::setQuitOnLastWindowClosed(false);
  InstallQtUiHooks();
  return RunProgram(ExecutableDirectory());
}
