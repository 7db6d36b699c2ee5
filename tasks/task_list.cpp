#include "tasks/task_list.h"

#include <memory>
#include <utility>
#include <vector>

#include "Inc/AppState.h"
#include "Inc/ErrorHandler.h"
#include "Inc/Lang.h"
#include "Inc/TextUtil.h"
#include "Inc/UiSeam.h"
#include "tasks/task_labels.h"
#include "tasks/task_options.h"

void TaskList::AttachView(TaskListView* view) { view_ = view ? view : &detachedView_; }

void TaskList::DetachView(const TaskListView* view) {
  if (view_ == view) view_ = &detachedView_;
}

int TaskList::Count() const { return static_cast<int>(tasks_.size()); }

Task TaskList::At(int position) const { return ValidPosition(position) ? tasks_[position] : Task{}; }

void TaskList::SetStatusText(int position, const std::string& text) {
  if (ValidPosition(position)) view_->SetCellText(position, kStatusColumn, text);
}

void TaskList::ShowCount() const { ::SetStatusText(1, IntToText(Count()) + " " + UiText("s36")); }

// The selected position, or -1 after telling the user (textKey) to select one.
int TaskList::SelectedOrWarn(const char* textKey) const {
  const int row = view_->SelectedRow();
  if (ValidPosition(row)) return row;
  ShowMessageBox(UiText("s1"), UiText(textKey), MessageIcon::Warning);
  return -1;
}

// Exchanges the task at `from` with its neighbour at `to` and moves the row's
// cells as they stand, status included.
void TaskList::ExchangeWithNeighbour(int from, int to) {
  CHECKPOINT();
  std::swap(tasks_[from], tasks_[to]);
  TaskRow cells;
  for (int column = 0; column < static_cast<int>(cells.size()); ++column) cells[column] = view_->CellText(from, column);
  view_->RemoveRow(from);
  view_->InsertRow(to, cells);
  view_->SetRowDetails(to, OptionSummary(tasks_[to]));
  view_->ClearSelection();
}

// Moves the selected task one place by step (-1 up, +1 down); at either end
// of the list nothing happens and nothing is said.
int TaskList::MoveSelected(int step, const char* noSelectionKey) {
  const int selected = SelectedOrWarn(noSelectionKey);
  if (selected < 0) return 0;
  const int target = selected + step;
  if (Count() < 2 || target < 0 || target >= Count()) return 0;
  ExchangeWithNeighbour(selected, target);
  return 1;
}

// Removes the tasks at the ascending positions and their rows, leaving no
// row selected.
void TaskList::RemoveRows(const std::vector<int>& rows) {
  CHECKPOINT();
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
    tasks_.erase(tasks_.begin() + *row);
    view_->RemoveRow(*row);
  }
  view_->ClearSelection();
  ShowCount();
}

void TaskList::Append(const Task& task) {
  CHECKPOINT();
  tasks_.push_back(task);
  const int row = view_->RowCount();
  view_->InsertRow(row, TaskRowTexts(task, "Waiting"));
  view_->SetRowDetails(row, OptionSummary(task));
  ShowCount();
}

void TaskList::Replace(int position, const Task& task) {
  if (!ValidPosition(position)) return;
  CHECKPOINT();
  tasks_[position] = task;
  const TaskRow cells = TaskRowTexts(task, UiText("s35"));
  for (int column = 0; column < static_cast<int>(cells.size()); ++column)
    view_->SetCellText(position, column, cells[column]);
  view_->SetRowDetails(position, OptionSummary(task));
  ShowCount();
}

int TaskList::SelectedPosition() const {
  const int row = view_->SelectedRow();
  return ValidPosition(row) ? row : -1;
}

int TaskList::RemoveSelected() {
  std::vector<int> rows = view_->SelectedRows();
  std::erase_if(rows, [this](int row) { return !ValidPosition(row); });
  if (rows.empty()) {
    ShowMessageBox(UiText("s1"), UiText("s55"), MessageIcon::Warning);
    return 0;
  }
  RemoveRows(rows);
  return 1;
}

int TaskList::RemoveFinished() {
  std::vector<int> rows;
  for (int row = 0; row < Count(); ++row)
    if (view_->CellText(row, kStatusColumn) == UiText("s61")) rows.push_back(row);
  if (rows.empty()) return 0;
  RemoveRows(rows);
  return 1;
}

int TaskList::MoveSelectedUp() { return MoveSelected(-1, "s53"); }

int TaskList::MoveSelectedDown() { return MoveSelected(1, "s54"); }

void TaskList::Clear() {
  tasks_.clear();
  while (view_->RowCount() > 0) view_->RemoveRow(view_->RowCount() - 1);
}

TaskList& ProgramTasks(AppState& app) {
  if (!app.tasks) app.tasks = std::make_shared<TaskList>();
  return *app.tasks;
}
