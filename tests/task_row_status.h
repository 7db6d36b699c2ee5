#pragma once

#include <QTreeWidget>

#include <string>

#include "Inc/AppState.h"
#include "app/main_window.h"
#include "tasks/task_list_view.h"

// What the status cell of task list row `row` shows in the main window of
// `app`, as a user reads it; empty without such a row.
inline std::string RowStatus(AppState& app, int row) {
  const QTreeWidgetItem* item = TaskListWidget(app) ? TaskListWidget(app)->topLevelItem(row) : nullptr;
  return item ? item->text(kStatusColumn).toStdString() : std::string();
}
