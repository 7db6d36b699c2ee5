#pragma once

#include <QTreeWidget>

#include <string>

#include "Inc/ActivityLog.h"
#include "Inc/AppState.h"
#include "Inc/Lang.h"
#include "Inc/UiSeam.h"
#include "app/activity_log_view.h"
#include "app/main_window.h"
#include "tasks/task_list_view.h"

// The real main window with its task list and log attached, logging on, and
// every message box answered OK, for the program in `programDirectory`.
inline bool OpenBenchMainWindow(AppState& app, const std::string& programDirectory) {
  LoadStringTable("");
  SetProgramDirectory(app, programDirectory);
  app.LogActions = 1;
  if (!BuildMainWindow(app)) return false;
  AttachTaskListWidget(app);
  AttachMainWindowLog(app);
  UiHooks hooks;
  hooks.showMessage = [](const MessageRequest&) { return MessageAnswer::Ok; };
  hooks.setStatusText = [&app](int field, const std::string& text) { SetStatusFieldText(app, field, text); };
  InstallUiHooks(hooks);
  return true;
}

// The rows of the main window's task list that show "Converted!" (s61).
inline int ConvertedRowCount(AppState& app) {
  QTreeWidget* list = TaskListWidget(app);
  int converted = 0;
  for (int row = 0; list && row < list->topLevelItemCount(); ++row)
    converted += list->topLevelItem(row)->text(kStatusColumn).toStdString() == UiText("s61");
  return converted;
}
