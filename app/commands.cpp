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

void ConfirmQuit(AppState& app, const std::string& title, const std::string& text) {
  if (ShowMessageBox(title, text, MessageIcon::Question, MessageButtons::YesNo) == MessageAnswer::Yes)
    QuitProgram(app);
}

// The help file is looked up where the program was started. A program started
// from the desktop menu runs in the home folder, so the copy beside the program
// serves when the working directory has none.
void OpenHelp(const AppState& app) {
  char buffer[PATH_MAX];
  std::string path = WithTrailingSlash(getcwd(buffer, sizeof buffer) ? buffer : "") + "MFLPX.html";
  if (ProbePath(path).kind != PathKind::File) path = app.programDirectory + "MFLPX.html";
  OpenWithShell(path);
}

void RunCommand(AppState& app, int commandId) {
  CHECKPOINT();
  switch (commandId) {
    case kMenuAddTask:
    case kButtonAddTask:
      OpenTaskEditor(app, TaskEditorMode::Add);
      break;
    case kMenuRemoveTask:
    case kButtonRemoveTask:
      ProgramTasks(app).RemoveSelected();
      break;
    case kMenuRemoveFinished:
      ProgramTasks(app).RemoveFinished();
      break;
    case kMenuExit:
    case kButtonExit:
      ConfirmQuit(app, UiText("s57"), UiText("s100"));
      break;
    case kMenuEditTask:
    case kButtonEditTask:
      OpenTaskEditor(app, TaskEditorMode::Edit);
      break;
    case kMenuMoveUp:
    case kButtonMoveUp:
      ProgramTasks(app).MoveSelectedUp();
      break;
    case kMenuMoveDown:
    case kButtonMoveDown:
      ProgramTasks(app).MoveSelectedDown();
      break;
    case kMenuHelp:
    case kButtonHelp:
      OpenHelp(app);
      break;
    case kMenuWebSite:
      OpenWithShell(kWebSiteUrl);
      break;
    case kMenuAbout:
    case kButtonAbout:
      AboutWindow();
      break;
    case kMenuSaveLog:
      SaveLog(app);
      break;
    case kMenuClearLog:
      ClearLog(app);
      break;
    case kMenuSettings:
      ShowSettingsWindow(app);
      break;
    case kButtonStart: {
      const BatchTitle progress(app);
      RunBatchInMainWindow(app);
      break;
    }
    default:
      // Stop means something only to a running batch, which intercepts it.
      break;
  }
}

}  // namespace

void DispatchCommand(AppState& app, int commandId) {
  if (app.commandInterceptor) {
    // A copy, so an interceptor may remove itself while it runs.
    const auto interceptor = app.commandInterceptor;
    interceptor(commandId);
    return;
  }
  RunCommand(app, commandId);
}

void SetCommandInterceptor(AppState& app, std::function<void(int commandId)> interceptor) {
  app.commandInterceptor = std::move(interceptor);
}

bool CommandInterceptorActive(const AppState& app) { return static_cast<bool>(app.commandInterceptor); }

void ConfirmCloseRequest(AppState& app) {
  if (CommandInterceptorActive(app)) return;
  ConfirmQuit(app, "Please confirm", "Are you sure you want to quit Marrowind Flickpress?");
}

void QuitProgram(AppState& app) {
  app.quit = true;
  EndMainLoop();
}
