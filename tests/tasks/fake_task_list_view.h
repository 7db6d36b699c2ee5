#pragma once

#include <string>
#include <vector>

#include "tasks/task_list_view.h"

// The task list view without a window: rows of cells and one optional selection.
class FakeTaskListView final : public TaskListView {
 public:
  int RowCount() const override { return static_cast<int>(rows.size()); }
  void InsertRow(int row, const TaskRow& cells) override {
    rows.insert(rows.begin() + row, cells);
    details.insert(details.begin() + row, std::string());
  }
  void RemoveRow(int row) override {
    rows.erase(rows.begin() + row);
    details.erase(details.begin() + row);
    if (selected == row) selected = -1;
  }
  std::string CellText(int row, int column) const override { return rows.at(row).at(column); }
  void SetCellText(int row, int column, const std::string& text) override {
    rows.at(row).at(column) = text;
  }
  void SetRowDetails(int row, const std::string& text) override { details.at(row) = text; }
  int SelectedRow() const override { return selected; }
  std::vector<int> SelectedRows() const override {
    return selected < 0 ? std::vector<int>{} : std::vector<int>{selected};
  }
  void ClearSelection() override { selected = -1; }

  std::vector<TaskRow> rows;
  std::vector<std::string> details;
  int selected = -1;
};
