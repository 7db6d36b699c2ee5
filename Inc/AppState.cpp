#include "Inc/AppState.h"

#include <unistd.h>

#include <climits>
#include <utility>

#include "Inc/TextUtil.h"

// Process-wide: the one context of the program, reached from here until the
// window builders take it as an argument.
AppState& App() {
  static AppState state;
  return state;
}

void ResetAppState() {
  UiHooks hooks = std::move(App().uiHooks);
  App() = AppState{};
  App().uiHooks = std::move(hooks);
}

void SetProgramDirectory(const std::string& directory) {
  AppState& app = App();
  app.programDirectory = WithTrailingSlash(directory);
  app.encoderPath = app.programDirectory + "Core/ffmpeg";
  app.dataDirectory = app.programDirectory;
}

std::string ExecutableDirectory() {
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return "./";
  const std::string path(buffer, static_cast<std::size_t>(length));
  return path.substr(0, path.rfind('/') + 1);
}
