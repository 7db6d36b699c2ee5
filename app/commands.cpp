#include "app/commands.h"

#include <unistd.h>

#include <climits>
#include <string>
#include <utility>

#include "Inc/ErrorHandler.h"
#include "Inc/FileProbe.h"
#include "Inc/Lang.h"
#include "app/about_window.h"
#include "app/activity_log.h"
#include "app/app_state.h"
#include "app/batch_title.h"
#include "app/main_loop.h"
#include "app/project_links.h"
#include "app/ui_seam.h"
#include "convert/batch_driver.h"
#include "settings/settings_window.h"
#include "tasks/task_editor_window.h"
#include "tasks/task_list.h"

namespace {

std::function<void(int)>& Interceptor() {
  static std::function<void(int)> interceptor;
  return interceptor;
}

void ConfirmQuit(const std::string& title, const std::string& text) {
  if (ShowMessageBox(title, text, MessageIcon::Question, MessageButtons::YesNo) == MessageAnswer::Yes)
    QuitProgram();
}

// The help file is looked up where the program was started. A program started
// from the desktop menu runs in the home folder, so the copy beside the program
// serves when the working directory has none.
void OpenHelp() {
  char buffer[PATH_MAX];
  std::string path = getcwd(buffer, sizeof buffer) ? buffer : "";
  if (path.empty() || path.back() != '/') path += '/';
  path += "MFLPX.html";
  if (ProbePath(path).kind != PathKind::File) path = App().programDirectory + "MFLPX.html";
  OpenWithShell(path);
}

void RunCommand(int commandId) {
  CHECKPOINT();
  switch (commandId) {
    case 0:
    case 50:
      OpenTaskEditor(TaskEditorMode::Add);
      break;
    case 1:
    case 51:
      RemoveSelectedTask();
      break;
    case 2:
    case 57:
      ConfirmQuit(UiText("s57"), UiText("s100"));
      break;
    case 3:
    case 52:
      OpenTaskEditor(TaskEditorMode::Edit);
      break;
    case 4:
    case 53:
      MoveSelectedTaskUp();
      break;
    case 5:
    case 54:
      MoveSelectedTaskDown();
      break;
    case 6:
    case 55:
      OpenHelp();
      break;
    case 7:
      OpenWithShell(kWebSiteUrl);
      break;
    case 8:
    case 56:
      AboutWindow();
      break;
    case 9:
      SaveLog();
      break;
    case 10:
      ClearLog();
      break;
    case 11:
      ShowSettingsWindow();
      break;
    case 58: {
      const BatchTitle progress;
      StartConversion();
      break;
    }
    default:
      // Stop (59) means something only to a running batch, which intercepts it.
      break;
  }
}

}  // namespace

void DispatchCommand(int commandId) {
  if (Interceptor()) {
    // A copy, so an interceptor may remove itself while it runs.
    const auto interceptor = Interceptor();
    interceptor(commandId);
    return;
  }
  RunCommand(commandId);
}

void SetCommandInterceptor(std::function<void(int commandId)> interceptor) {
  Interceptor() = std::move(interceptor);
}

bool CommandInterceptorActive() { return static_cast<bool>(Interceptor()); }

void ConfirmCloseRequest() {
  if (CommandInterceptorActive()) return;
  ConfirmQuit("Please confirm", "Are you sure you want to quit Marrowind Flickpress?");
}

void QuitProgram() {
  App().quit = true;
  EndMainLoop();
}
