#pragma once

#include <QTreeWidget>

#include <string>

#include "Inc/AppState.h"
#include "app/main_window.h"
#include "tasks/task_list_view.h"

// What the status cell of task list row `row` shows in the main window, as a
// user reads it; empty without such a row.
inline std::string RowStatus(int row) {
  const QTreeWidgetItem* item = TaskListWidget(App()) ? TaskListWidget(App())->topLevelItem(row) : nullptr;
  return item ? item->text(kStatusColumn).toStdString() : std::string();
}
