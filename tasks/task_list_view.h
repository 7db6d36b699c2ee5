#pragma once

#include <array>
#include <string>
#include <vector>

// The five cells of a task's row: input, output, resolution, quality, status.
using TaskRow = std::array<std::string, 5>;
constexpr int kStatusColumn = 4;

// The task list view as the list logic sees it: rows of five text cells, at
// selected ones. The main window's list view implements it; tests
// implement it without a window.
class TaskListView {
 public:
  virtual ~TaskListView() = default;
  virtual int RowCount() const = 0;
  // A row inserted at RowCount() is appended. New rows are not selected.
  virtual void InsertRow(int row, const TaskRow& cells) = 0;
  virtual void RemoveRow(int row) = 0;
  virtual std::string CellText(int row, int column) const = 0;
  virtual void SetCellText(int row, int column, const std::string& text) = 0;
  // More of the row's task than its cells show (its options), on demand.
  virtual void SetRowDetails(int row, const std::string& text) = 0;
  virtual int SelectedRow() const = 0;  // the first selected row; -1 when none is
  virtual std::vector<int> SelectedRows() const = 0;  // ascending
  virtual void ClearSelection() = 0;
};
