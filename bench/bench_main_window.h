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
inline bool OpenBenchMainWindow(const std::string& programDirectory) {
  LoadStringTable("");
  SetProgramDirectory(App(), programDirectory);
  App().LogActions = 1;
  if (!BuildMainWindow(App())) return false;
  AttachTaskListWidget(App());
  AttachMainWindowLog(App());
  UiHooks hooks;
  hooks.showMessage = [](const MessageRequest&) { return MessageAnswer::Ok; };
  hooks.setStatusText = [](int field, const std::string& text) { SetStatusFieldText(App(), field, text); };
  InstallUiHooks(hooks);
  return true;
}

// The rows of the main window's task list that show "Converted!" (s61).
inline int ConvertedRowCount() {
  QTreeWidget* list = TaskListWidget(App());
  int converted = 0;
  for (int row = 0; list && row < list->topLevelItemCount(); ++row)
    converted += list->topLevelItem(row)->text(kStatusColumn).toStdString() == UiText("s61");
  return converted;
}
