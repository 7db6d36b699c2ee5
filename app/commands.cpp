#include "app/commands.h"

#include <unistd.h>

#include <climits>
#include <string>
#include <utility>

#include "Inc/ActivityLog.h"
#include "Inc/AppState.h"
#include "Inc/CommandIds.h"
#include "Inc/ErrorHandler.h"
#include "Inc/FileProbe.h"
#include "Inc/Lang.h"
#include "Inc/ProjectLinks.h"
#include "Inc/TextUtil.h"
#include "Inc/UiSeam.h"
#include "app/about_window.h"
#include "app/batch_pump.h"
#include "app/batch_title.h"
#include "app/main_loop.h"
#include "settings/settings_window.h"
#include "tasks/task_editor_window.h"
#include "tasks/task_list.h"

namespace {

std::function<void(int)>& Interceptor() { return App().commandInterceptor; }

void ConfirmQuit(const std::string& title, const std::string& text) {
  if (ShowMessageBox(title, text, MessageIcon::Question, MessageButtons::YesNo) == MessageAnswer::Yes)
    QuitProgram();
}

// The help file is looked up where the program was started. A program started
// from the desktop menu runs in the home folder, so the copy beside the program
// serves when the working directory has none.
void OpenHelp() {
  char buffer[PATH_MAX];
  std::string path = WithTrailingSlash(getcwd(buffer, sizeof buffer) ? buffer : "") + "MFLPX.html";
  if (ProbePath(path).kind != PathKind::File) path = App().programDirectory + "MFLPX.html";
  OpenWithShell(path);
}

void RunCommand(int commandId) {
  CHECKPOINT();
  switch (commandId) {
    case kMenuAddTask:
    case kButtonAddTask:
      OpenTaskEditor(TaskEditorMode::Add);
      break;
    case kMenuRemoveTask:
    case kButtonRemoveTask:
      RemoveSelectedTask();
      break;
    case kMenuRemoveFinished:
      RemoveFinishedTasks();
      break;
    case kMenuExit:
    case kButtonExit:
      ConfirmQuit(UiText("s57"), UiText("s100"));
      break;
    case kMenuEditTask:
    case kButtonEditTask:
      OpenTaskEditor(TaskEditorMode::Edit);
      break;
    case kMenuMoveUp:
    case kButtonMoveUp:
      MoveSelectedTaskUp();
      break;
    case kMenuMoveDown:
    case kButtonMoveDown:
      MoveSelectedTaskDown();
      break;
    case kMenuHelp:
    case kButtonHelp:
      OpenHelp();
      break;
    case kMenuWebSite:
      OpenWithShell(kWebSiteUrl);
      break;
    case kMenuAbout:
    case kButtonAbout:
      AboutWindow();
      break;
    case kMenuSaveLog:
      SaveLog();
      break;
    case kMenuClearLog:
      ClearLog();
      break;
    case kMenuSettings:
      ShowSettingsWindow();
      break;
    case kButtonStart: {
      const BatchTitle progress;
      RunBatchInMainWindow();
      break;
    }
    default:
      // Stop means something only to a running batch, which intercepts it.
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
