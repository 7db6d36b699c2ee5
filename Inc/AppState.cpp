#include "Inc/AppState.h"

#include <unistd.h>

#include <climits>
#include <utility>

#include "Inc/TextUtil.h"

void ResetAppState(AppState& app) {
  AppState fresh;
  fresh.tasks = std::move(app.tasks);
  fresh.mainWindow = std::move(app.mainWindow);
  fresh.editorExtension = std::move(app.editorExtension);
  app = std::move(fresh);
}

void SetProgramDirectory(AppState& app, const std::string& directory) {
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
