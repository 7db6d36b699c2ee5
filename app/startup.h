#pragma once

#include <string>
#include <vector>

#include "app/splash_window.h"

struct AppState;

struct StartupOptions {
  // The splash holds the start for three seconds; tests turn the wait off,
  // or count the pauses that make it up instead of sleeping through them.
  bool splashWait = true;
  SplashSleep splashSleep = SleepWhole;
  // Where Config.ini and ErrorReport.log live; empty = the program directory.
  std::string dataDirectory;
  // Files named on the command line: the task editor opens with them once
  // the main loop runs.
  std::vector<std::string> inputFiles;
};

// Everything from start-up to the end of the main loop, for the program in
// `programDirectory` (ending with '/') over the state `app`, which main made
// and which the windows keep. The crash handler and the GUI application
// already exist. Returns the process exit code, 0 on every path.
int RunProgram(AppState& app, const std::string& programDirectory, const StartupOptions& options = {});
