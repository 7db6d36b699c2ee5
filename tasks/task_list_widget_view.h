#pragma once

#include <QPointer>
#include <QTreeWidget>

#include <string>
#include <vector>

#include "tasks/task_list_view.h"

class QTreeWidgetItem;

// The task list view over a QTreeWidget (the main window's control 50). The
// widget may be destroyed with its window; the view then acts as an empty one.
class TaskListWidgetView final : public TaskListView {
 public:
  void Bind(QTreeWidget* widget) { widget_ = widget; }

  int RowCount() const override;
  void InsertRow(int row, const TaskRow& cells) override;
  void RemoveRow(int row) override;
  std::string CellText(int row, int column) const override;
  void SetCellText(int row, int column, const std::string& text) override;
  void SetRowDetails(int row, const std::string& text) override;
  int SelectedRow() const override;
  std::vector<int> SelectedRows() const override;
  void ClearSelection() override;

 private:
  QTreeWidgetItem* Item(int row) const;

  QPointer<QTreeWidget> widget_;
};
